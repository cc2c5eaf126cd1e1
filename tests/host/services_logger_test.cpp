#include "host/services/MonitoringMgr.h"
#include "host/services/NotifyMgr.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace
{
GUID Id(std::uint32_t n)
{
    GUID g;
    g.Data1 = n;
    return g;
}

std::uint8_t KindAt16(const MonitoringItem* pItem)
{
    return reinterpret_cast<const unsigned char*>(pItem)[16];
}

class Recorder : public IMonitoringMgrLoggerSubscriber
{
public:
    void OnItemLogged(const MonitoringItem* pItem) override
    {
        m_kinds.push_back(pItem->type);
        if (m_onItem)
            m_onItem();
    }
    std::vector<int> m_kinds;
    std::function<void()> m_onItem;
};

constexpr std::uint64_t kRegistryMask = 0x400000002;

// Walks the log with a logger iterator, as a replay does.
std::vector<const MonitoringItem*> Replay(IMonitoringMgrLogger& logger, std::uint64_t mask = ~0ull)
{
    std::vector<const MonitoringItem*> items;
    IMonitoringMgrLoggerIterator* const pIterator = logger.CreateIterator();
    pIterator->Rewind();
    while (pIterator->HasItem())
    {
        if (const MonitoringItem* pItem = pIterator->NextItem(mask))
            items.push_back(pItem);
    }
    logger.ReleaseIterator(pIterator);
    return items;
}
} // namespace

TEST(MonitoringItems, ReadersFindKindsAndValuesWhereTheyExpectThem)
{
    const std::vector<GUID> values = {Id(11), GUID_NULL, Id(13)};
    const auto resolved = OwnedMonitoringItem::DialogueResolved(Id(1), Id(20), values, true);
    ASSERT_EQ(KindAt16(resolved.get()), ItemKindDialogueResolved);
    const auto* pResolved = static_cast<const DialogueResolvedItem*>(resolved.get());
    EXPECT_EQ(pResolved->GetObjectID(), Id(1));
    EXPECT_EQ(pResolved->GetTargetID(), Id(20));
    EXPECT_TRUE(pResolved->IsResolveOnly());
    ASSERT_EQ(pResolved->GetArgumentCount(), 3u);
    EXPECT_EQ(pResolved->GetArgumentValueID(0), Id(11));
    EXPECT_EQ(pResolved->GetArgumentValueID(1), GUID_NULL);
    EXPECT_EQ(pResolved->GetArgumentValueID(2), Id(13));
    EXPECT_EQ(pResolved->GetArgumentValueID(3), GUID_NULL);
    EXPECT_EQ(pResolved->GetArgumentValueID(~0ull), GUID_NULL);
    EXPECT_EQ(pResolved->RecordSize(), DialogueResolvedItem::SizeOfItem(3));

    // The values sit right behind the object.
    GUID behind;
    std::memcpy(&behind,
                reinterpret_cast<const unsigned char*>(pResolved) + sizeof(DialogueResolvedItem) + 32,
                sizeof behind);
    EXPECT_EQ(behind, Id(13));

    const auto played = OwnedMonitoringItem::ObjectNotification(Id(21), 10);
    ASSERT_EQ(KindAt16(played.get()), ItemKindObjectNotification);
    const auto& record = static_cast<const ObjectNotificationItem*>(played.get())->GetNotification();
    EXPECT_EQ(played->GetObjectID(), Id(21));
    std::uint32_t reasonAt12 = 0;
    std::memcpy(&reasonAt12, reinterpret_cast<const unsigned char*>(&record) + 12, sizeof reasonAt12);
    EXPECT_EQ(reasonAt12, 10u);

    const auto other = OwnedMonitoringItem::Other(35);
    EXPECT_EQ(KindAt16(other.get()), 35);
    EXPECT_EQ(other->GetObjectID(), GUID_NULL);

    // Items are small: at most 64 bytes beyond their argument values.
    EXPECT_EQ(sizeof(DialogueResolvedItem), 56u);
    EXPECT_EQ(sizeof(ObjectNotificationItem), 56u);
    EXPECT_LE(MonitoringItem::SizeOfItem(), 64u);
}

TEST(MonitoringItems, BareItemsOfTheReadKindsHaveTheirRealOperations)
{
    const auto resolved = OwnedMonitoringItem::Other(ItemKindDialogueResolved);
    const auto* pResolved = static_cast<const DialogueResolvedItem*>(resolved.get());
    EXPECT_EQ(pResolved->GetArgumentCount(), 0u);
    EXPECT_EQ(pResolved->GetTargetID(), GUID_NULL);
    const auto played = OwnedMonitoringItem::Other(ItemKindObjectNotification);
    EXPECT_EQ(static_cast<const ObjectNotificationItem*>(played.get())->GetNotification().reason, 0u);
}

TEST(MonitoringLogger, DeliversToMatchingMasksAndUnsubscribesOnlyEqualEntries)
{
    MonitoringLogger logger;
    Recorder registry, everything, onlyOther;
    logger.Subscribe(&registry, kRegistryMask, 0, true);
    logger.Subscribe(&everything, ~0ull, 0, true);
    logger.Subscribe(&onlyOther, 1ull << 63, 0, false);

    logger.LogDialogueResolved(Id(1), Id(20), {});
    logger.LogObjectNotification(Id(20), 9);
    logger.LogItem(35);
    logger.LogItem(63);
    logger.LogItem(0);
    logger.LogItem(64); // beyond what a mask can select: not logged
    EXPECT_EQ(registry.m_kinds, (std::vector<int>{34, 1}));
    EXPECT_EQ(everything.m_kinds, (std::vector<int>{34, 1, 35, 63, 0}));
    EXPECT_EQ(onlyOther.m_kinds, (std::vector<int>{63}));
    EXPECT_EQ(logger.ItemCount(), 5u);

    // Any value differing leaves the subscription in place.
    logger.Unsubscribe(&registry, kRegistryMask, 0, false);
    logger.Unsubscribe(&registry, kRegistryMask, 1, true);
    logger.Unsubscribe(&registry, 0x2, 0, true);
    logger.Unsubscribe(&everything, kRegistryMask, 0, true);
    EXPECT_EQ(logger.SubscriberCount(), 3u);
    logger.Unsubscribe(&registry, kRegistryMask, 0, true);
    EXPECT_EQ(logger.SubscriberCount(), 2u);

    logger.LogObjectNotification(Id(20), 9);
    EXPECT_EQ(registry.m_kinds.size(), 2u);
    EXPECT_EQ(everything.m_kinds.size(), 6u);
}

TEST(MonitoringLogger, SubscribersMayUnsubscribeWhileAnItemIsDelivered)
{
    MonitoringLogger logger;
    Recorder first, second, added;
    logger.Subscribe(&first, ~0ull, 0, true);
    logger.Subscribe(&second, ~0ull, 0, true);
    first.m_onItem = [&]
    {
        logger.Unsubscribe(&second, ~0ull, 0, true);
        logger.Unsubscribe(&first, ~0ull, 0, true);
        logger.Subscribe(&added, ~0ull, 0, true);
    };
    logger.LogItem(5);
    EXPECT_EQ(first.m_kinds.size(), 1u);
    EXPECT_TRUE(second.m_kinds.empty());
    EXPECT_TRUE(added.m_kinds.empty());
    EXPECT_EQ(logger.SubscriberCount(), 1u);
    logger.LogItem(6);
    EXPECT_EQ(added.m_kinds, std::vector<int>{6});
}

TEST(MonitoringLogger, ReplayVisitsItemsInCaptureOrderAcrossChunks)
{
    MonitoringLogger logger;
    // Items of varying sizes, enough to fill several chunks, and one larger than a chunk.
    const std::size_t hugeCount = ItemArena::kChunkSize / sizeof(GUID) + 3;
    std::vector<GUID> hugeValues(hugeCount, Id(7));
    hugeValues.back() = Id(8);
    // Records average under 64 bytes, so this many span more than three chunks.
    constexpr auto kCount = static_cast<std::uint32_t>(4 * ItemArena::kChunkSize / 64);
    constexpr std::uint32_t kHugeAt = kCount / 2;
    std::vector<std::uint32_t> expectedIds;
    for (std::uint32_t i = 0; i < kCount; ++i)
    {
        if (i == kHugeAt)
        {
            logger.LogDialogueResolved(Id(i), Id(0), hugeValues);
        }
        else if (i % 3 == 0)
        {
            const std::vector<GUID> values(i % 5, Id(i));
            logger.LogDialogueResolved(Id(i), Id(i + 1), values);
        }
        else if (i % 3 == 1)
            logger.LogObjectNotification(Id(i), i);
        else
        {
            logger.LogItem(static_cast<std::uint8_t>(i % 64 == 1 || i % 64 == 34 ? 2 : i % 64));
            continue;
        }
        expectedIds.push_back(i);
    }
    EXPECT_GT(logger.BytesUsed(), 3 * ItemArena::kChunkSize);

    const auto items = Replay(logger, kRegistryMask);
    ASSERT_EQ(items.size(), expectedIds.size());
    for (std::size_t n = 0; n < items.size(); ++n)
    {
        ASSERT_EQ(items[n]->GetObjectID(), Id(expectedIds[n])) << n;
        ASSERT_EQ(reinterpret_cast<std::uintptr_t>(items[n]) % 8, 0u);
        if (items[n]->type == ItemKindDialogueResolved)
        {
            const auto* pItem = static_cast<const DialogueResolvedItem*>(items[n]);
            if (expectedIds[n] == kHugeAt)
            {
                ASSERT_EQ(pItem->GetArgumentCount(), hugeCount);
                EXPECT_EQ(pItem->GetArgumentValueID(hugeCount - 1), Id(8));
            }
            else
                ASSERT_EQ(pItem->GetArgumentCount(), expectedIds[n] % 5);
        }
        else
            ASSERT_EQ(static_cast<const ObjectNotificationItem*>(items[n])->GetNotification().reason,
                      expectedIds[n]);
    }
    EXPECT_EQ(Replay(logger).size(), kCount);

    // After Clear a new capture starts from nothing, in the memory that was kept.
    logger.Clear();
    EXPECT_EQ(logger.ItemCount(), 0u);
    EXPECT_TRUE(Replay(logger).empty());
    logger.LogObjectNotification(Id(1), 9);
    logger.LogItem(3);
    logger.LogDialogueResolved(Id(2), Id(3), std::vector<GUID>{Id(4)});
    const auto afterClear = Replay(logger);
    ASSERT_EQ(afterClear.size(), 3u);
    EXPECT_EQ(afterClear[0]->GetObjectID(), Id(1));
    EXPECT_EQ(afterClear[1]->type, 3);
    EXPECT_EQ(afterClear[2]->GetObjectID(), Id(2));
}

TEST(MonitoringLogger, IteratorsSkipUnselectedKindsAndAreCounted)
{
    MonitoringLogger logger;
    EXPECT_TRUE(Replay(logger).empty());
    logger.LogItem(5);
    logger.LogObjectNotification(Id(1), 9);
    logger.LogItem(6);
    logger.LogDialogueResolved(Id(2), Id(3), {});
    logger.LogItem(7);

    IMonitoringMgrLoggerIterator* const pA = logger.CreateIterator();
    IMonitoringMgrLoggerIterator* const pB = logger.CreateIterator();
    EXPECT_EQ(logger.OpenIteratorCount(), 2u);

    pA->Rewind();
    EXPECT_EQ(pA->NextItem(kRegistryMask)->type, 1);
    EXPECT_EQ(pA->NextItem(kRegistryMask)->type, 34);
    EXPECT_TRUE(pA->HasItem()); // kind 7 is still ahead, though the mask would skip it
    EXPECT_EQ(pA->NextItem(kRegistryMask), nullptr);
    EXPECT_FALSE(pA->HasItem());
    EXPECT_EQ(pA->NextItem(~0ull), nullptr);

    // Iterators are independent, and Rewind starts over.
    EXPECT_EQ(pB->NextItem(~0ull)->type, 5);
    pA->Rewind();
    EXPECT_EQ(pA->NextItem(1ull << 6)->type, 6);
    EXPECT_EQ(pB->NextItem(~0ull)->type, 1);

    logger.ReleaseIterator(pA);
    logger.ReleaseIterator(pB);
    EXPECT_EQ(logger.OpenIteratorCount(), 0u);
}

TEST(MonitoringMgr, StartingTheLoggerBeginsANewCaptureAndIsAnnounced)
{
    NotifyMgr notify;
    INotifyMgr* const pPrevious = INotifyMgr::m_pInstance;
    INotifyMgr::m_pInstance = &notify;

    MonitoringMgr mgr;
    struct Watcher
    {
        MonitoringMgr* pMgr;
        std::vector<std::string> events;
        std::vector<std::size_t> itemsSeen;
        void OnNotify(const Notification& n)
        {
            events.push_back(n.GetEvent()->eventId.Text());
            itemsSeen.push_back(pMgr->Logger().ItemCount());
        }
    } watcher{&mgr, {}, {}};
    notify.Subscribe(ROString("MonitoringMgrNotification"),
                     fastdelegate::MakeDelegate(&watcher, &Watcher::OnNotify));

    EXPECT_EQ(mgr.GetLogger(), &mgr.Logger());
    mgr.Logger().LogItem(4);
    mgr.StartLogger();
    EXPECT_TRUE(mgr.IsLogging());
    mgr.Logger().LogItem(4);
    mgr.StopLogger();
    EXPECT_FALSE(mgr.IsLogging());
    EXPECT_EQ(watcher.events, (std::vector<std::string>{"LoggerStarted", "LoggerStopped"}));
    // The old capture is gone before "LoggerStarted" is heard; the new one survives the stop.
    EXPECT_EQ(watcher.itemsSeen, (std::vector<std::size_t>{0, 1}));
    EXPECT_EQ(mgr.Logger().ItemCount(), 1u);

    EXPECT_NE(GameProfilerCursors::GetGameCursor(), nullptr);
    EXPECT_EQ(GameProfilerCursors::GetGameCursor(), GameProfilerCursors::GetGameCursor());
    INotifyMgr::m_pInstance = pPrevious;
}
