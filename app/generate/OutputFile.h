// A generated file on its way to its place. A regular file is written under a temporary name beside
// its target and renamed over it only once complete, so that a run stopped half-way (Ctrl-C, a full
// disk) leaves the target as it was; the temporary file goes when the object does, or at SIGINT or
// SIGTERM. Standard output ("-") and targets that are no regular file (a device, a pipe) are
// written directly.
#pragma once

#include <string>
#include <string_view>

namespace app
{

class OutputFile
{
public:
    // Opens the file for writing; Error() says why when it could not be.
    explicit OutputFile(const std::string& target);
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // The file that writing the target replaces: the target, or the file that a link as target leads
    // to (the link stays a link).
    static std::string Place(const std::string& target);

    bool Opened() const { return m_nFd >= 0; }
    // The whole block, or false with the reason in Error().
    bool Write(std::string_view block);
    // Closes the file and puts it in its place; false with the reason in Error().
    bool Commit();
    const std::string& Error() const { return m_error; }

private:
    bool Fail();

    // The file replaced: the target, or the file that a link as target leads to.
    std::string m_place;
    // Empty when the target is written directly.
    std::string m_temporary;
    // Where the signal handler finds the temporary file's name; -1 for none.
    int m_nSlot = -1;
    int m_nFd = -1;
    bool m_bOwned = false;
    std::string m_error;
};

} // namespace app
