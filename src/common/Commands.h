#pragma once
/// Menu, toolbar and popup command identifiers the frame, the application and the views
/// share. The board's column commands (32845-32862, 32941-32946) are not here: they stay
/// with the column table they index (views/ColumnTable.h).

namespace qelt::cmd {

inline constexpr int kQuoteList = 32773;      ///< 报价分析
inline constexpr int kKLine = 32774;          ///< 技术分析
inline constexpr int kIntraday = 32775;       ///< 即时分析
inline constexpr int kTradeList = 32823;      ///< 成交明细 / 交易信息
inline constexpr int kWeb = 32865;            ///< 资讯系统
inline constexpr int kMultiGoods = 32894;     ///< 多股同列
inline constexpr int kConnect = 32824;        ///< 连接行情主站
inline constexpr int kDisconnect = 32825;     ///< 断开行情主站
inline constexpr int kComSettings = 32826;    ///< 通信设置
inline constexpr int kAutoUpdate = 32891;     ///< 自动升级
inline constexpr int kWebSite = 32828;        ///< 访问网站
inline constexpr int kPassword = 32925;       ///< 修改密码
inline constexpr int kNotice = 32919;         ///< 市场公告
inline constexpr int kAlarmList = 32896;      ///< 预警 设置
inline constexpr int kAlarmAdd = 32895;       ///< 预警 添加
inline constexpr int kAlarmOn = 32897;        ///< 预警 开启
inline constexpr int kAlarmOff = 32898;       ///< 预警 关闭
inline constexpr int kAlarmSound = 32935;     ///< 预警 提示音 (checked while on)
inline constexpr int kCondAlarms = 32986;     ///< 预警 条件预警
inline constexpr int kIndicators = 32914;     ///< 指标设置
inline constexpr int kFormulas = 32980;       ///< 公式管理
inline constexpr int kSystemTest = 32981;     ///< 交易评测
inline constexpr int kScreening = 32987;      ///< 条件选股
inline constexpr int kHelp = 32926;           ///< 系统帮助
inline constexpr int kAbout = 57664;          ///< 关于
inline constexpr int kExit = 57665;           ///< 退出
inline constexpr int kDay = 32787;            ///< 日线
inline constexpr int kWeek = 32789;           ///< 周线
inline constexpr int kMonth = 32790;          ///< 月线
inline constexpr int kMinute1 = 32991;        ///< 1分钟 (32991..32995: 1, 5, 15, 30, 60 minutes)
inline constexpr int kMinute5 = 32992;        ///< 5分钟
inline constexpr int kMinute15 = 32993;       ///< 15分钟
inline constexpr int kMinute30 = 32994;       ///< 30分钟
inline constexpr int kMinute60 = 32995;       ///< 60分钟
inline constexpr int kPrevGoods = 32817;      ///< 上一个
inline constexpr int kNextGoods = 32818;      ///< 下一个
inline constexpr int kZoomIn = 32819;         ///< 放大
inline constexpr int kZoomOut = 32820;        ///< 缩小
inline constexpr int kCursorLeft = 32821;     ///< 前移
inline constexpr int kCursorRight = 32822;    ///< 后移
inline constexpr int kDetails = 32899;        ///< 详细信息
inline constexpr int kDrawingBar = 32890;     ///< 画笔
inline constexpr int kToolBar = 32840;        ///< 工具栏
inline constexpr int kStatusBar = 32841;      ///< 状态栏
inline constexpr int kDrawSegment = 32889;    ///< 线段
inline constexpr int kDrawLine = 32901;       ///< 直线
inline constexpr int kDrawParallel = 32902;   ///< 平行线
inline constexpr int kDrawRect = 32903;       ///< 矩形
inline constexpr int kDrawWave = 32907;       ///< 波段线
inline constexpr int kDrawPeriod = 32908;     ///< 周期线
inline constexpr int kDrawGold = 32909;       ///< 黄金分割
inline constexpr int kDrawDelete = 32904;     ///< 删除
inline constexpr int kDrawClear = 32906;      ///< 清空
inline constexpr int kDrawCancel = 32910;     ///< 取消
inline constexpr int kDrawUndo = 32970;       ///< 撤销 (the drawn lines' last edit)
inline constexpr int kDrawRedo = 32971;       ///< 重做
inline constexpr int kExportCsv = 32911;      ///< 导出到EXCEL
inline constexpr int kExportText = 32912;     ///< 导出到文本文件
inline constexpr int kPrintDirect = 57606;    ///< 直接打印
inline constexpr int kPrint = 57607;          ///< 打印
inline constexpr int kPrintPreview = 57609;   ///< 打印预览
inline constexpr int kExportPicture = 32913;  ///< 导出到图片

// The quote board's popups (the column chooser's ids are in views/ColumnTable.h).
inline constexpr int kAddSelfSelected = 32892;     ///< 添加到自选
inline constexpr int kRemoveSelfSelected = 32893;  ///< 从自选删除

// The K-line view's chart types and window counts (popup menu 137).
inline constexpr int kChartCandles = 32863;   ///< 标准(空心阳线)
inline constexpr int kChartAmerican = 32864;  ///< 美国线
inline constexpr int kChartOX = 32879;        ///< OX点数图
inline constexpr int kWindows1 = 32900;       ///< 仅主窗口
inline constexpr int kWindows2 = 32788;       ///< 二个窗口
inline constexpr int kWindows3 = 32791;       ///< 三个窗口 (32791..32796: three to eight)
inline constexpr int kWindows4 = 32792;       ///< 四个窗口
inline constexpr int kWindows5 = 32793;       ///< 五个窗口
inline constexpr int kWindows6 = 32794;       ///< 六个窗口
inline constexpr int kWindows7 = 32795;       ///< 七个窗口
inline constexpr int kWindows8 = 32796;       ///< 八个窗口
inline constexpr int kLogScale = 32960;       ///< 对数坐标 (the main chart's logarithmic price scale)
inline constexpr int kTradeMarksOff = 32990;  ///< 取消交易标记 (the marks of a system under test)

// The K-line view's indicator entries of popup menu 137, one per pane indicator.
inline constexpr int kIndicatorVol = 32805;    ///< VOL    成交量
inline constexpr int kIndicatorCcl = 32915;    ///< CCL    净持仓量
inline constexpr int kIndicatorVr = 32885;     ///< VR     成交量变异率
inline constexpr int kIndicatorObv = 32881;    ///< OBV    累计能量线
inline constexpr int kIndicatorPvt = 32920;    ///< PVT    价量趋势指数
inline constexpr int kIndicatorMacd = 32810;   ///< MACD   平滑异同平均
inline constexpr int kIndicatorDmi = 32916;    ///< DMI    趋向指标
inline constexpr int kIndicatorBoll = 32918;   ///< BOLL   布林线
inline constexpr int kIndicatorSar = 32921;    ///< SAR    止损点
inline constexpr int kIndicatorJs = 32887;     ///< JS     加速线
inline constexpr int kIndicatorCdp = 32927;    ///< CDP    逆势操作
inline constexpr int kIndicatorExpma = 32928;  ///< EXPMA  指数平均线
inline constexpr int kIndicatorRsi = 32880;    ///< RSI    相对强弱
inline constexpr int kIndicatorRoc = 32884;    ///< ROC    变动率指标
inline constexpr int kIndicatorKdj = 32882;    ///< KDJ    随机指标
inline constexpr int kIndicatorEmv = 32886;    ///< EMV    简易波动指标
inline constexpr int kIndicatorWr = 32917;     ///< WR     威廉指标
inline constexpr int kIndicatorAdtm = 32922;   ///< ADTM   动态买卖气指标
inline constexpr int kIndicatorBbi = 32923;    ///< BBI    多空指数
inline constexpr int kIndicatorAmv = 32924;    ///< AMV    成本价均线
inline constexpr int kIndicatorCci = 32883;    ///< CCI    商品路径指标

// The K-line pane popup's "自编指标": the user's formulas in the library's order, one command
// each from kFormulaPaneFirst on (the menu lists at most kFormulaPaneCommands of them).
inline constexpr int kFormulaPaneFirst = 34000;
inline constexpr int kFormulaPaneCommands = 1000;

// The main chart popup's "主图公式": 删除主图公式, then one check entry per formula of the
// library (by its place in the library's list) from kMainFormulaFirst on.
inline constexpr int kMainFormulasOff = 35000;
inline constexpr int kMainFormulaFirst = 35001;
inline constexpr int kMainFormulaCommands = 999;

// The intraday chart's "天数" popup: 最近1日 .. 最近8日 (32797 .. 32804).
inline constexpr int kDays1 = 32797;  ///< 最近1日
inline constexpr int kDays8 = 32804;  ///< 最近8日

// The multi-goods view's cell popup.
inline constexpr int kChangeGoods = 33001;  ///< 更换商品

}  // namespace qelt::cmd
