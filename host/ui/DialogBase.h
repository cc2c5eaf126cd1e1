// Dialog windows created from templates of a resource module, with an anchor layout.
#pragma once

#include "host/ui/Anchor.h"
#include "host/ui/DialogTemplate.h"
#include "host/ui/Wnd.h"

class CDialogBase : public CWnd
{
public:
    CDialogBase(UINT nIDTemplate, CWnd* pParent);
    ~CDialogBase() override;

    // Creates the dialog window and its controls from the template, then sends WM_INITDIALOG. FALSE,
    // with no window, when the resource module lacks the template.
    BOOL Create(UINT nIDTemplate, CWnd* pParent);
    // Creates the window from the template given at construction as a child of the parent.
    BOOL CreateDialogFromResources(CWnd* pParent);
    // Places the window where the control with that id is (same rectangle, just above it in
    // z-order) and hides the placeholder, which stays for the next window put there.
    void ReplaceHolder(CWnd* pWnd, UINT nIDHolder);

    UINT GetTemplateId() const { return m_nIDTemplate; }

    // The module whose resources hold the template; the current module state's by default.
    virtual HINSTANCE GetResourceHandle();

    // Starts the anchor layout on the dialog; derived dialogs call it first.
    virtual BOOL OnInitDialog();

protected:
    // Ends the anchor layout.
    void OnDestroy();
    void OnSize(UINT nType, int cx, int cy);

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    Anchor m_anchor;
    CWnd* m_pParentWnd;

    DECLARE_MESSAGE_MAP()

private:
    UINT m_nIDTemplate;
};
