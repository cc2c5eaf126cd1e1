// The four queries: static objects that live as long as the library.
#pragma once

#include "queries/ArgumentPathsQuery.h"
#include "queries/DialogueEventQuery.h"
#include "queries/DialogueResolvedQuery.h"
#include "queries/NoneQuery.h"

namespace queries
{
NoneQuery& TheNoneQuery();
DialogueEventQuery::DialogueEventQuery& TheDialogueEventQuery();
ArgumentPathsQuery::ArgumentPathsQuery& TheArgumentPathsQuery();
DialogueResolvedQuery::DialogueResolvedQuery& TheDialogueResolvedQuery();
} // namespace queries
