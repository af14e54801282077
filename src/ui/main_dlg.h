#pragma once
#include <windows.h>

#include <array>
#include <cstdint>
#include <string>

#include "config/arp_settings.h"
#include "alert/gateway_driver.h"
#include "alert/syslog_outlet_win.h"
#include "sys/win_handles.h"
#include "ui/dialog.h"
#include "ui/echo_worker.h"
#include "ui/hyperlink.h"

// System menu entry that opens the About box.
constexpr UINT kAboutCommand = 16;
// Message the notification-area icon sends to the window: a fixed number (1035) that other programs may send
// as well. Above the dialog manager's own WM_USER messages (DM_GETDEFID and the two after it).
constexpr UINT kTrayCallbackMessage = WM_USER + 11;
// Posted to the window by its opening: the notification-area icon is added once the window shows.
constexpr UINT kAddTrayIconMessage = WM_APP + 64;
// Posted by a client copy's Apply with a text id: the service's warning as a balloon, once the icon is there.
constexpr UINT kServiceBalloonMessage = WM_APP + 65;
// Posted by the window's echo worker with its ticket and whether the gateway answered.
constexpr UINT kEchoAnsweredMessage = WM_APP + 66;
// The window's one notification-area icon.
constexpr UINT kTrayIconId = 1;
// The window's timers: the binding, first a second after Apply and then every interval; the watch, reading the
// ARP cache back every kWatchPeriodMs while a binding runs; and, while the shell refuses the icon (it is still
// starting at logon), the add tried again every kTrayRetryPeriodMs.
constexpr UINT_PTR kBindTimerId = 1;
constexpr UINT kFirstBindPeriodMs = 1000;
constexpr UINT_PTR kWatchTimerId = 2;
constexpr UINT_PTR kTrayRetryTimerId = 3;
constexpr UINT kTrayRetryPeriodMs = 2000;

// What SetTrayIcon does with the window's icon; the numbers are the actions' fixed numbers.
enum class TrayIconAction { Add = 1, Delete = 2 };

// The About box the window's system menu opens: the program's icon, name and version, the notice and the maker's
// web site, in English whatever the window's language. OK, Enter, Esc and the close box end it.
class CAboutDlg : public CDialog {
  public:
    explicit CAboutDlg(HWND parent = nullptr);
};

// The program's only window: local addresses, the ARP settings, the language selector and the
// commands. It owns the binding timer, the gateway watch and the notification-area icon.
class CArpMainDlg : public CDialog {
public:
    explicit CArpMainDlg(HWND parent);

    // Members named after the settings and controls they hold.
    int32_t language = kLanguageUnset;
    int32_t timer = 0;
    std::string gwmac;
    std::string gwip;
    bool locked = false;
    std::array<std::string, 6> localMac;
    std::array<std::string, 6> gatewayMac;
    std::string intervalText;
    // The syslog collector as this copy applied it (empty: none), and the text of its edit, checked as it loses
    // the focus and by Apply.
    std::string syslog;
    std::string syslogText;

    // Opening, languages and the small handlers (main_dlg.cpp, main_dlg_opening.cpp, main_dlg_language.cpp).
    void OnLanguageChange();
    void OnClearFields();
    void OnExit();
    void OpenMakerSite();
    void DiscoverNetwork();
    HBITMAP shownLogo() const;

    // Apply and the client package (main_dlg_apply.cpp).
    void OnApply();
    void OnGenerateClientChanged();

    // Uninstall (main_dlg_uninstall.cpp).
    void OnUninstall();

    // The service that pins the gateway for every user (main_dlg_service.cpp). Each returns the text id of the
    // warning to give, 0 for none.
    unsigned applyServiceChoice();  // Apply: install or update it when ticked, remove it when not
    unsigned uninstallService();    // Uninstall: remove it, or say that it stays
    BindingCheck bindingToKeep();   // at a binding expiry: the pair to bind, or the running service's to watch

    // Field checks as an edit loses the focus (main_dlg_fields.cpp).
    void OnFieldKillFocus(int controlId);

    // Notification-area icon, lock state, system menu, password change (main_dlg_tray.cpp).
    // Returns the shell's answer.
    bool SetTrayIcon(TrayIconAction action);
    // Adds the icon with its gateway state; while the shell refuses, tries again every kTrayRetryPeriodMs.
    void addTrayIcon();
    LRESULT OnTrayNotify(WPARAM iconId, LPARAM mouseMessage);
    void OnLockUnlock();
    void OnChangePassword();
    void EnableControls(bool lockedState);
    // Lets the shell's "TaskbarCreated" reach an elevated window; false where the system refuses or lacks it.
    bool letTaskbarCreatedThrough() const;

    // The binding and the gateway watch beside it, shown on the icon (main_dlg_watch.cpp).
    void startBinding();  // the first binding a second after Apply, the watch from now on
    void stopBinding();   // both end, and the icon shows no state
    // Timer 1: binds the window's gateway pair and re-arms the timer with the interval, or warns (in the
    // window's language) that the settings are incomplete; the timer then keeps its period.
    void BindGateway();

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(DataExchange& dx) override;
    bool OnCommand(UINT id, UINT code) override;
    void OnCancel() override;
    void OnTimer(UINT_PTR id) override;
    bool OnSysCommand(UINT command, LPARAM lParam) override;
    bool OnPaint() override;
    bool OnMouseMove(UINT flags, POINT point) override;
    bool OnLButtonDown(UINT flags, POINT point) override;
    void OnDestroy() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    bool pointOnLogo(POINT point) const;
    void hideToTray();  // hides and locks the window
    HICON OnQueryDragIcon() const { return appIcon_; }
    // A copy of an icon resource in the notification area's size, ours to destroy.
    static UniqueIcon loadTrayIcon(int resourceId);
    void OnWatchTimer();
    void OnEchoAnswered(WPARAM ticket, bool answered);
    // Beside a running service: what it said of its gateway (away, silent).
    ServiceWord serviceWord();
    // The collector of this copy's alerts, started, changed or stopped.
    void useSyslog();
    // Puts the shown verdict's look and tip on the icon; the balloon repeats the tip.
    void showGatewayState(bool balloon);
    void showWarningBalloon(const std::string& utf8Text);

    HWND localIpCtrl_ = nullptr;
    HWND gatewayIpCtrl_ = nullptr;
    HWND generateClientCheck_ = nullptr;
    HWND yesRadio_ = nullptr;
    HWND noRadio_ = nullptr;
    HWND languageCombo_ = nullptr;
    HWND logoPicture_ = nullptr;
    UniqueGdiObject logoBitmap_;  // the bitmap shown in the logo picture
    HICON appIcon_ = nullptr;     // shared resource icon: never destroyed
    CHyperLink siteLink_;
    // The icon as an outlet of the news.
    class TrayOutlet : public NewsOutlet {
      public:
        explicit TrayOutlet(CArpMainDlg& window) : window_(window) {}
        void tell(const GatewayNews& news, bool turned) override;

      private:
        CArpMainDlg& window_;
    };
    // The binding's and the watch's decisions with their outlets; the keeper's last told verdict is what the icon
    // shows (none: no state).
    GatewayDriver driver_{SettingsRoot::User};
    GatewayKeeper& keeper_ = driver_.keeper();
    TrayOutlet tray_{*this};
    SyslogOutlet syslog_;
    // The watch's echoes, off this thread; an answer counts only with the ticket of the binding that asked.
    EchoWorker echoWorker_;
    WPARAM echoTicket_ = 0;
    // The incomplete settings' warning is open: expiries arriving inside its loop warn no further.
    bool configWarningOpen_ = false;
    // While set, the window stays hidden even when the dialog manager shows it on its first idle.
    bool hiddenToTray_ = false;
    // Registered message the shell broadcasts when the taskbar is recreated.
    UINT taskbarCreatedMessage_ = 0;
};
