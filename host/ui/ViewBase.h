// Views and view factories: how the host shows plug-in windows.
#pragma once

#include "host/base/Guid.h"
#include "host/base/StdStr.h"
#include "host/base/WinTypes.h"

#include <vector>

class CWnd;
class IVObject;

// What the host gives a view to place its window in.
class IViewContainer
{
public:
    // The window under which the view places its window.
    virtual HWND GetContainerWindow() = 0;
    virtual int GetContainerId() = 0;
    virtual void SetViewOptions(int option, int value) = 0;

protected:
    ~IViewContainer() = default;
};

// Shared base of the host's COM-like classes; holds no state of its own.
template <class T, int N> class CComBase
{
};

class IViewBase
{
public:
    virtual ~IViewBase() = default;
    virtual void GetObjects(std::vector<IVObject*>& objects) = 0;
    virtual int CreateViewWindow(IViewContainer* pContainer) = 0;
    virtual HWND GetViewWindow() = 0;
    virtual void GetDefaultPlacement(int monitor, SIZE* pSize, RECT* pRect) = 0;
    virtual bool ProcessKey(UINT key, UINT flags) = 0;
    virtual void Focus(int reason) = 0;
    virtual void OnLoadPreset(const wchar_t* preset) = 0;
    virtual void OnSavePreset(const wchar_t* preset) = 0;
    virtual void ShowHelp() = 0;
    virtual void OnDoPin(bool bPinned) = 0;
    virtual void OnViewSettings() = 0;
    virtual void OnSyncGroupChanged(int group) = 0;
    virtual void OnDeleteView() = 0;
    virtual void OnLoadView() = 0;
    virtual void OnLayoutActivated() = 0;
    virtual void GetSelectedVoices(std::vector<GUID>& voices) = 0;
    virtual void GetSelectedGameObjects(std::vector<std::uint64_t>& gameObjects) = 0;
    virtual void SetObject(IVObject* pObject) = 0;
    virtual bool CanResizeOnLayoutChange() = 0;
    virtual bool HasDataToSave() = 0;
    virtual bool Load(const wchar_t* data) = 0;
    virtual bool Save(CStdStr<wchar_t>& data) = 0;
    virtual void GetObjectsPriv(std::vector<IVObject*>& objects) = 0;
};

// Base behaviour of every view operation: nothing to show, save or select.
class CViewBase : public CComBase<CViewBase, 0>, public IViewBase
{
public:
    ~CViewBase() override = default;
    void GetObjects(std::vector<IVObject*>& objects) override;
    int CreateViewWindow(IViewContainer* pContainer) override;
    HWND GetViewWindow() override;
    void GetDefaultPlacement(int monitor, SIZE* pSize, RECT* pRect) override;
    bool ProcessKey(UINT key, UINT flags) override;
    void Focus(int reason) override;
    void OnLoadPreset(const wchar_t* preset) override;
    void OnSavePreset(const wchar_t* preset) override;
    void ShowHelp() override;
    void OnDoPin(bool bPinned) override;
    void OnViewSettings() override;
    void OnSyncGroupChanged(int group) override;
    void OnDeleteView() override;
    void OnLoadView() override;
    void OnLayoutActivated() override;
    void GetSelectedVoices(std::vector<GUID>& voices) override;
    void GetSelectedGameObjects(std::vector<std::uint64_t>& gameObjects) override;
    void SetObject(IVObject* pObject) override;
    bool CanResizeOnLayoutChange() override;
    bool HasDataToSave() override;
    bool Load(const wchar_t* data) override;
    bool Save(CStdStr<wchar_t>& data) override;
    void GetObjectsPriv(std::vector<IVObject*>& objects) override;

    // How often the base Focus ran, and with which reason last, for hosts that check the delegation.
    int m_nFocusCount = 0;
    int m_nLastFocusReason = 0;
};

enum class ViewInstanceMode
{
    Single,
    Multiple,
};

class CViewFactory : public CComBase<CViewFactory, 0>
{
public:
    virtual ~CViewFactory() = default;
    virtual IViewBase* CreateView() = 0;
    virtual const wchar_t* GetTitle() = 0;
    virtual const wchar_t* GetCategory() = 0;
    virtual const wchar_t* GetExtraText();
    virtual ViewInstanceMode GetInstanceMode();
    virtual bool IsWindowActivenessSupport();
    virtual bool CanContainObjects();
    virtual int GetNumericId();
    virtual bool CanRegisterDefaultCommand();
    virtual void RegisterCommands();
};
