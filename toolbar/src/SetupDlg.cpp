// The settings dialog.
#include "SetupDlg.h"
#include "base/Path.h"

#include "DevicePlatform.h"
#include "base/FileSystem.h"
#include "common/EngineClient.h"
#include "platform/Handles.h"
#include "platform/Resources.h"
#include "resource.h"

namespace {

constexpr int kControlFontHeight = 14;
constexpr int kTitleFontHeight = 15;
constexpr int kLabelFontHeight = 11;
constexpr int kImageSize = 16;
constexpr int kMessagingImage = 1;
constexpr UINT kBackKeyCode = 27;
constexpr UINT kF3KeyCode = 114;

void AddMaskedBitmap(HIMAGELIST images, UINT bitmapId) {
    CBitmapHandle bitmap(static_cast<HBITMAP>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(bitmapId), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    if (bitmap)
        ImageList_AddMasked(images, bitmap.Get(), RGB(255, 0, 255));
}

} // namespace

CSetupDlg::CSetupDlg(const childdialogs::PanelLink& link)
    : CSoftKeyDlg(IDD_SETUP), m_link(link), m_keys{{platform::LoadResString(IDS_KEY_ENTER), VK_RETURN},
                                                   {platform::LoadResString(IDS_KEY_UP), VK_UP},
                                                   {platform::LoadResString(IDS_KEY_DOWN), VK_DOWN},
                                                   {platform::LoadResString(IDS_KEY_RIGHT), VK_RIGHT},
                                                   {platform::LoadResString(IDS_KEY_LEFT), VK_LEFT}} {}

CSetupDlg::~CSetupDlg() {
    if (m_images != nullptr)
        ImageList_Destroy(m_images);
}

bool CSetupDlg::NeedsRestartQuestion(UINT storedKey, UINT newKey) {
    return newKey != storedKey && (storedKey == kBackKeyCode || storedKey == kF3KeyCode);
}

BOOL CSetupDlg::OnInitDialog() {
    SetProgramIcons(IDR_MAINFRAME);
    CreateBar(IDR_MENU_OK_CANCEL);
    SetUpFonts();
    SetUpIntegrationList();
    SetUpKeyList();
    CheckDlgButton(GetHwnd(), IDC_SETUP_AUTOSTART,
                   ovrin::FileExists(deviceplatform::StartupShortcutPath()) ? BST_CHECKED : BST_UNCHECKED);
    return TRUE;
}

void CSetupDlg::SetUpFonts() {
    m_font.Reset(MakeFont(L"Arial", kControlFontHeight, false));
    m_titleFont.Reset(MakeFont(L"Arial", kTitleFontHeight, true));
    m_labelFont.Reset(MakeFont(L"Arial", kLabelFontHeight, true));
    for (int id : {IDC_SETUP_AUTOSTART, IDC_SETUP_KEY_LIST, IDC_SETUP_INTEGRATION_LIST})
        SendMessageW(GetItem(id), WM_SETFONT, reinterpret_cast<WPARAM>(m_font.Get()), FALSE);
    SendMessageW(GetItem(IDC_SETUP_TITLE), WM_SETFONT, reinterpret_cast<WPARAM>(m_titleFont.Get()), FALSE);
    for (int id : {IDC_SETUP_KEY_LABEL, IDC_SETUP_INTEGRATION_LABEL})
        SendMessageW(GetItem(id), WM_SETFONT, reinterpret_cast<WPARAM>(m_labelFont.Get()), FALSE);
}

void CSetupDlg::SetUpIntegrationList() {
    HWND list = GetItem(IDC_SETUP_INTEGRATION_LIST);
    ListView_SetExtendedListViewStyle(list, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT | LVS_EX_ONECLICKACTIVATE);
    m_images = ImageList_Create(kImageSize, kImageSize, ILC_COLOR24 | ILC_MASK, 2, 0);
    AddMaskedBitmap(m_images, IDB_LIST_PAGE);
    AddMaskedBitmap(m_images, IDB_LIST_MESSAGING);
    ListView_SetImageList(list, m_images, LVSIL_SMALL);
    RECT area;
    GetClientRect(list, &area);
    LVCOLUMNW column = {};
    column.mask = LVCF_WIDTH;
    column.cx = area.right - GetSystemMetrics(SM_CXVSCROLL);
    ListView_InsertColumn(list, 0, &column);
    std::wstring name = platform::LoadResString(IDS_MESSAGING);
    LVITEMW item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.pszText = name.data();
    item.iImage = kMessagingImage;
    ListView_InsertItem(list, &item);
    ListView_SetCheckState(list, 0, CEngineClient::IsEnabled(kMessagingSection) ? TRUE : FALSE);
}

void CSetupDlg::SetUpKeyList() {
    HWND list = GetItem(IDC_SETUP_KEY_LIST);
    for (const KeyName& key : m_keys) {
        LRESULT index = SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(key.name.c_str()));
        SendMessageW(list, CB_SETITEMDATA, static_cast<WPARAM>(index), key.code);
    }
    SendMessageW(list, CB_SETCURSEL, 0, 0);
    int stored = CEngineClient::ReadToolbarInt(kKeySetting);
    for (std::size_t i = 0; i < m_keys.size(); ++i) {
        if (static_cast<int>(m_keys[i].code) == stored)
            SendMessageW(list, CB_SETCURSEL, i, 0);
    }
}

// Up on the integration list's first entry goes to the call-key list; Down on its last entry goes to
// the check box.
bool CSetupDlg::PreTranslateMessage(MSG& message) {
    HWND list = GetItem(IDC_SETUP_INTEGRATION_LIST);
    if (message.message != WM_KEYDOWN || message.hwnd != list)
        return false;
    int focused = ListView_GetNextItem(list, -1, LVNI_FOCUSED);
    if (message.wParam == VK_UP && focused == 0) {
        SetFocus(GetItem(IDC_SETUP_KEY_LIST));
        return true;
    }
    if (message.wParam == VK_DOWN && focused == ListView_GetItemCount(list) - 1) {
        SetFocus(GetItem(IDC_SETUP_AUTOSTART));
        return true;
    }
    return false;
}

void CSetupDlg::OnOk() {
    HWND list = GetItem(IDC_SETUP_INTEGRATION_LIST);
    CEngineClient::SetEnabled(kMessagingSection, ListView_GetCheckState(list, 0) != FALSE);

    std::wstring shortcut = deviceplatform::StartupShortcutPath();
    if (IsDlgButtonChecked(GetHwnd(), IDC_SETUP_AUTOSTART) == BST_CHECKED)
        deviceplatform::CreateStartupShortcut(shortcut, ovrin::GetProgramPath());
    else if (!shortcut.empty())
        DeleteFileW(shortcut.c_str());

    HWND keys = GetItem(IDC_SETUP_KEY_LIST);
    LRESULT selected = SendMessageW(keys, CB_GETCURSEL, 0, 0);
    UINT code = selected == CB_ERR ? 0 : static_cast<UINT>(SendMessageW(keys, CB_GETITEMDATA, selected, 0));
    if (code != 0) {
        UINT stored = static_cast<UINT>(CEngineClient::ReadToolbarInt(kKeySetting));
        if (NeedsRestartQuestion(stored, code) &&
            platform::AppMessageBox(GetHwnd(), IDS_RESTART_DEVICE, MB_YESNO | MB_ICONINFORMATION) == IDYES) {
            CEngineClient::WriteToolbarInt(kKeySetting, static_cast<int>(code));
            deviceplatform::RestartDevice();
        }
        if (m_link.panel != nullptr)
            PostMessageW(m_link.panel, childdialogs::kApplyKeyMessage, code, 0);
    }
    EndDialog(IDOK);
}
