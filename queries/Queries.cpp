#include "queries/Queries.h"

namespace
{
// Constructed when the library loads, in registration order, and destroyed when it unloads.
NoneQuery g_noneQuery;
DialogueEventQuery::DialogueEventQuery g_dialogueEventQuery;
ArgumentPathsQuery::ArgumentPathsQuery g_argumentPathsQuery;
DialogueResolvedQuery::DialogueResolvedQuery g_dialogueResolvedQuery;
} // namespace

namespace queries
{
NoneQuery& TheNoneQuery()
{
    return g_noneQuery;
}
DialogueEventQuery::DialogueEventQuery& TheDialogueEventQuery()
{
    return g_dialogueEventQuery;
}
ArgumentPathsQuery::ArgumentPathsQuery& TheArgumentPathsQuery()
{
    return g_argumentPathsQuery;
}
DialogueResolvedQuery::DialogueResolvedQuery& TheDialogueResolvedQuery()
{
    return g_dialogueResolvedQuery;
}
} // namespace queries
