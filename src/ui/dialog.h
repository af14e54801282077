#pragma once
#include <windows.h>

#include <string>

class DataExchange;

// Modal dialog built from a template, with one virtual handler per message it cares about.
// The dialog is created with the Unicode functions so that every language displays correctly.
class CDialog {
public:
    CDialog(UINT templateId, HWND parent);
    virtual ~CDialog() = default;
    CDialog(const CDialog&) = delete;
    CDialog& operator=(const CDialog&) = delete;

    INT_PTR DoModal();
    HWND GetHwnd() const { return hwnd_; }
    void EndDialog(INT_PTR result);

    // Moves data between controls and members: save = true reads the controls.
    // Returns false when a control holds a value its member refuses (the control gets the focus).
    bool UpdateData(bool save);

    // Message box owned by this dialog, through the replaceable seam. Texts are UTF-8.
    int MessageBox(const std::string& text, const char* caption, UINT flags);

    void SetDlgItemText(int id, const std::string& utf8);
    void SetWindowText(const std::string& utf8);
    HWND GetDlgItem(int id) const;

    // Dispatches one message; public so that tests can drive a dialog's handlers directly.
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

protected:
    virtual BOOL OnInitDialog();
    virtual void DoDataExchange(DataExchange& dx);
    virtual bool OnCommand(UINT id, UINT code);
    virtual void OnOK();
    virtual void OnCancel();
    virtual void OnTimer(UINT_PTR id);
    virtual bool OnSysCommand(UINT command, LPARAM lParam);
    virtual bool OnPaint();
    virtual bool OnMouseMove(UINT flags, POINT point);
    virtual bool OnLButtonDown(UINT flags, POINT point);
    virtual void OnDestroy();
    // Any other message, such as a notification icon's callback. Return true when handled; the result goes back
    // through DWLP_MSGRESULT, or as the return value for the messages the dialog manager answers that way.
    virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    UINT templateId_;
    HWND parent_;
    HWND hwnd_ = nullptr;
};

// One pass of data exchange between a dialog's controls and its members.
class DataExchange {
public:
    DataExchange(CDialog& dialog, bool save) : dialog_(dialog), save_(save) {}

    bool saving() const { return save_; }
    bool failed() const { return failed_; }

    // Edit text as bytes of the ANSI code page, limited to maxBytes (0: no limit). Loading sets the
    // edit's limit; saving refuses a longer text with a message and leaves the member unchanged.
    void text(int id, std::string& member, int maxBytes = 0);
    // Check box or radio button state: BST_UNCHECKED, BST_CHECKED.
    void check(int id, int& member);

private:
    CDialog& dialog_;
    bool save_;
    bool failed_ = false;
};
