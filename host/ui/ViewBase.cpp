#include "host/ui/ViewBase.h"

void CViewBase::GetObjects(std::vector<IVObject*>&) {}

int CViewBase::CreateViewWindow(IViewContainer*)
{
    return 0;
}

HWND CViewBase::GetViewWindow()
{
    return nullptr;
}

void CViewBase::GetDefaultPlacement(int, SIZE*, RECT*) {}

bool CViewBase::ProcessKey(UINT, UINT)
{
    return false;
}

void CViewBase::Focus(int reason)
{
    ++m_nFocusCount;
    m_nLastFocusReason = reason;
}

void CViewBase::OnLoadPreset(const wchar_t*) {}
void CViewBase::OnSavePreset(const wchar_t*) {}
void CViewBase::ShowHelp() {}
void CViewBase::OnDoPin(bool) {}
void CViewBase::OnViewSettings() {}
void CViewBase::OnSyncGroupChanged(int) {}
void CViewBase::OnDeleteView() {}
void CViewBase::OnLoadView() {}
void CViewBase::OnLayoutActivated() {}
void CViewBase::GetSelectedVoices(std::vector<GUID>&) {}
void CViewBase::GetSelectedGameObjects(std::vector<std::uint64_t>&) {}
void CViewBase::SetObject(IVObject*) {}

bool CViewBase::CanResizeOnLayoutChange()
{
    return false;
}

bool CViewBase::HasDataToSave()
{
    return false;
}

bool CViewBase::Load(const wchar_t*)
{
    return false;
}

bool CViewBase::Save(CStdStr<wchar_t>&)
{
    return false;
}

void CViewBase::GetObjectsPriv(std::vector<IVObject*>&) {}

const wchar_t* CViewFactory::GetExtraText()
{
    return nullptr;
}

ViewInstanceMode CViewFactory::GetInstanceMode()
{
    return ViewInstanceMode::Single;
}

bool CViewFactory::IsWindowActivenessSupport()
{
    return false;
}

bool CViewFactory::CanContainObjects()
{
    return false;
}

int CViewFactory::GetNumericId()
{
    return 0;
}

bool CViewFactory::CanRegisterDefaultCommand()
{
    return false;
}

void CViewFactory::RegisterCommands() {}
