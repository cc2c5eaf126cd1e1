// tally: the host that users run.
int main()
{
    return 0;
}
