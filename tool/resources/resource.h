// Resource and control IDs of KQ_Tools.
#pragma once

// Dialog templates.
inline constexpr unsigned IDD_ABOUTBOX = 100;
inline constexpr unsigned IDD_KQ_TOOLS_DIALOG = 102;
inline constexpr unsigned IDD_TREND = 104;

// Strings.
inline constexpr unsigned IDS_ABOUTBOX = 101;

// Icons.
inline constexpr unsigned IDR_MAINFRAME = 128;
inline constexpr unsigned IDI_LAMP_RED = 129;
inline constexpr unsigned IDI_LAMP_GREEN = 130;

// The commands of the system menu: About, and the trend window, listed just before it.
inline constexpr unsigned IDM_ABOUTBOX = 0x0010;
inline constexpr unsigned IDM_TREND = 0x0020;

// Controls of the main dialog.
inline constexpr int IDC_VIBRATION = 1000;
inline constexpr int IDC_VIBRATION_ALARM = 1001;
inline constexpr int IDC_SET_VIBRATION_ALARM = 1002;
inline constexpr int IDC_READ_VIBRATION_ALARM = 1003;
inline constexpr int IDC_AUTO_VIBRATION = 1004;
inline constexpr int IDC_AUTO_MOVEMENT = 1005;
inline constexpr int IDC_SLIDER_VIBRATION = 1006;
inline constexpr int IDC_MOVEMENT = 1007;
inline constexpr int IDC_MOVEMENT_ALARM = 1008;
inline constexpr int IDC_SET_MOVEMENT_ALARM = 1009;
inline constexpr int IDC_SLIDER_MOVEMENT = 1010;
inline constexpr int IDC_READ_MOVEMENT_ALARM = 1011;
inline constexpr int IDC_HISTORY = 1012;
inline constexpr int IDC_READ_NEXT_RECORD = 1013;
inline constexpr int IDC_LEARN_VIBRATION = 1014;
inline constexpr int IDC_LEARN_MOVEMENT = 1015;
inline constexpr int IDC_TEMPERATURE = 1016;
inline constexpr int IDC_STATUS = 1017;
inline constexpr int IDC_RECORD_COUNTER = 1018;
inline constexpr int IDC_LAMP_VIBRATION = 1019;
inline constexpr int IDC_READ_ALL_RECORDS = 1020;
inline constexpr int IDC_LAMP_MOVEMENT = 1021;
inline constexpr int IDC_LAMP_TEMPERATURE = 1022;
inline constexpr int IDC_LAMP_TAMPER = 1023;
inline constexpr int IDC_LAMP_VOLTAGE = 1024;
inline constexpr int IDC_CANCEL_LEARN_VIBRATION = 1025;
inline constexpr int IDC_CANCEL_LEARN_MOVEMENT = 1026;
inline constexpr int IDC_FACTORY_CALIBRATION = 1027;
inline constexpr int IDC_CLEAR_HISTORY = 1029;
inline constexpr int IDC_EXPORT_HISTORY = 1030;

// Controls of the trend window.
inline constexpr int IDC_TREND_PLOTS = 1100;
inline constexpr int IDC_TREND_PAUSE = 1101;
inline constexpr int IDC_TREND_EXPORT = 1102;
inline constexpr int IDC_TREND_SPAN_1 = 1103;
inline constexpr int IDC_TREND_SPAN_5 = 1104;
inline constexpr int IDC_TREND_SPAN_30 = 1105;
inline constexpr int IDC_TREND_VIBRATION_PEAK = 1106;
inline constexpr int IDC_TREND_MOVEMENT_PEAK = 1107;
