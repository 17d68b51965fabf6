#pragma once
/// Private window and thread messages, numbered from WM_USER (1024) as the whole system
/// (and every test) knows them.

namespace qelt {

inline constexpr unsigned WM_USER = 1024;

inline constexpr unsigned WM_TAB_SELECT = 1125;       ///< tab strip to the quote list
inline constexpr unsigned WM_SWITCH_VIEW = 1126;      ///< wParam view kind, lParam view argument
inline constexpr unsigned WM_UPDATE_PROGRESS = 1224;  ///< updater progress, wParam -1..100
inline constexpr unsigned WM_NET_CATEGORY = 1225;
inline constexpr unsigned WM_NET_LIST = 1226;
inline constexpr unsigned WM_NET_LINE = 1227;
inline constexpr unsigned WM_NET_REAL = 1228;
inline constexpr unsigned WM_NET_LOGIN = 1230;
inline constexpr unsigned WM_NET_HIS = 1231;        ///< wParam records still to come
inline constexpr unsigned WM_NET_VER = 1232;        ///< wParam 0 current, else update
inline constexpr unsigned WM_NET_RECONNECT = 1233;  ///< wParam attempts made; 10 after "dis"
inline constexpr unsigned WM_NET_HISREAL = 1234;
inline constexpr unsigned WM_NET_NOTICE = 1236;
inline constexpr unsigned WM_NET_PWD = 1237;        ///< wParam the "pwd" answer
inline constexpr unsigned WM_NET_INDEX = 1238;      ///< after every incoming message
inline constexpr unsigned WM_ALARM_REFRESH = 1274;  ///< to the application: new fired alarms in the store
inline constexpr unsigned WM_FORMULA_READY =
    1275;  ///< to the view on show: a formula pane's result is computed

/// 交易评测's work toward its window: wParam done and lParam all of them; wParam the job's
/// number when it has ended.
inline constexpr unsigned WM_SYSTEM_PROGRESS = 1280;
inline constexpr unsigned WM_SYSTEM_DONE = 1281;
/// 条件选股's work toward its window, as 交易评测's: goods done and all of them; the job's
/// number when it has ended.
inline constexpr unsigned WM_SCREEN_PROGRESS = 1284;
inline constexpr unsigned WM_SCREEN_DONE = 1285;

/// wParam of WM_NET_RECONNECT when the server itself ended the session ("dis").
inline constexpr long kReconnectAfterDisconnect = 10;

}  // namespace qelt
