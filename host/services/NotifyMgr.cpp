#include "host/services/NotifyMgr.h"

#include <algorithm>

INotifyMgr* INotifyMgr::m_pInstance = nullptr;

void NotifyMgr::Subscribe(const ROString& channel, const NotifyHandler& handler)
{
    m_subscriptions.push_back(Subscription{channel, handler, m_nextSerial++});
}

void NotifyMgr::Unsubscribe(const ROString& channel, const NotifyHandler& handler)
{
    const auto it =
        std::find_if(m_subscriptions.begin(), m_subscriptions.end(),
                     [&](const Subscription& s) { return s.channel == channel && s.handler == handler; });
    if (it != m_subscriptions.end())
        m_subscriptions.erase(it);
}

void NotifyMgr::Notify(const ROString& channel, const NotifyEvent* pEvent)
{
    // Handlers may change the subscriptions while they run, so delivery walks a snapshot and checks
    // before each call that the subscription still exists. Serials grow in subscription order and
    // the list keeps that order, which allows a binary search.
    struct Pending
    {
        unsigned long long serial;
        NotifyHandler handler;
    };
    std::vector<Pending> pending;
    for (const Subscription& s : m_subscriptions)
    {
        if (s.channel == channel)
            pending.push_back(Pending{s.serial, s.handler});
    }

    const Notification notification(channel, pEvent);
    for (const Pending& p : pending)
    {
        const auto it = std::lower_bound(m_subscriptions.begin(), m_subscriptions.end(), p.serial,
                                         [](const Subscription& s, unsigned long long serial)
                                         { return s.serial < serial; });
        if (it == m_subscriptions.end() || it->serial != p.serial)
            continue;
        p.handler(notification);
    }
}

std::size_t NotifyMgr::SubscriberCount(const ROString& channel) const
{
    return static_cast<std::size_t>(std::count_if(m_subscriptions.begin(), m_subscriptions.end(),
                                                  [&](const Subscription& s)
                                                  { return s.channel == channel; }));
}

std::size_t NotifyMgr::SubscriberCount() const
{
    return m_subscriptions.size();
}
