// Notification channels: a channel is an ROString; handlers get every event raised on it.
#pragma once

#include "host/base/FastDelegate.h"
#include "host/base/ROString.h"
#include "host/base/StdStr.h"

#include <map>
#include <vector>

class NotifyEvent
{
public:
    ROString eventId;
    // Set for "UserPrefChanged": which preference changed.
    CStdStr<wchar_t> prefKey;
    CStdStr<wchar_t> prefName;
};

class Notification
{
public:
    Notification(const ROString& channel, const NotifyEvent* pEvent) : m_channel(channel), m_pEvent(pEvent) {}

    const ROString& GetChannel() const { return m_channel; }
    // Null for a notification that carries no event.
    const NotifyEvent* GetEvent() const { return m_pEvent; }

private:
    ROString m_channel;
    const NotifyEvent* m_pEvent;
};

using NotifyHandler = fastdelegate::FastDelegate<void(const Notification&)>;

class INotifyMgr
{
public:
    // The host's notification manager; null while there is none.
    static INotifyMgr* m_pInstance;

    virtual void Subscribe(const ROString& channel, const NotifyHandler& handler) = 0;
    // Removes the subscription made with an equal channel and handler.
    virtual void Unsubscribe(const ROString& channel, const NotifyHandler& handler) = 0;
    // Hands the notification to every handler of the channel, in subscription order. A handler may
    // subscribe or unsubscribe while it runs; one removed during the delivery is not called after that.
    virtual void Notify(const ROString& channel, const NotifyEvent* pEvent) = 0;

protected:
    ~INotifyMgr() = default;
};

class NotifyMgr : public INotifyMgr
{
public:
    void Subscribe(const ROString& channel, const NotifyHandler& handler) override;
    void Unsubscribe(const ROString& channel, const NotifyHandler& handler) override;
    void Notify(const ROString& channel, const NotifyEvent* pEvent) override;

    std::size_t SubscriberCount(const ROString& channel) const;
    std::size_t SubscriberCount() const;

private:
    struct Subscription
    {
        ROString channel;
        NotifyHandler handler;
        unsigned long long serial;
    };
    std::vector<Subscription> m_subscriptions;
    unsigned long long m_nextSerial = 0;
};
