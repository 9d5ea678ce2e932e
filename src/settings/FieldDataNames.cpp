#include "settings/FieldDataNames.h"

#include "foundation/LanguageText.h"

namespace zav {

namespace {

// A run of registers sharing one name: {Simplified Chinese, English, Traditional Chinese}.
// The English names are the system's established texts, kept byte for byte (spelling and trailing
// blanks included) so every workbook names a register the same way. The Chinese names read the way a
// service engineer reads a register list: phase letter before 相, module number after 模块/模組,
// and the Traditional texts use the terms of Taiwan and Hong Kong (模組, 資料, 旗標, 實功率).
struct NameRun {
    int first, last;
    Texts3 text;
};

// clang-format off
constexpr NameRun kAnalogNames[] = { // 1-80
    {1, 1, {"交流旁路电压ph_A", "Bypass Voltage Phase A", "交流旁路電壓ph_A"}},
    {2, 2, {"旁路B相电压", "Bypass Voltage Phase B", "旁路B相電壓"}},
    {3, 3, {"旁路C相电压", "Bypass Voltage Phase C", "旁路C相電壓"}},
    {4, 4, {"旁路A相电流", "Bypass Current Phase A", "旁路A相電流"}},
    {5, 5, {"旁路B相电流", "Bypass Current Phase B", "旁路B相電流"}},
    {6, 6, {"旁路C相电流", "Bypass Current Phase C", "旁路C相電流"}},
    {7, 7, {"旁路A相频率", "Bypass Frequency Phase A", "旁路A相頻率"}},
    {8, 8, {"旁路B相频率", "Bypass Frequency Phase B", "旁路B相頻率"}},
    {9, 9, {"旁路C相频率", "Bypass Frequency Phase C", "旁路C相頻率"}},
    {10, 10, {"旁路A相功率因数", "Bypass PF Phase A", "旁路A相功率因數"}},
    {11, 11, {"旁路B相功率因数", "Bypass PF Phase B", "旁路B相功率因數"}},
    {12, 12, {"旁路C相功率因数", "Bypass PF Phase C", "旁路C相功率因數"}},
    {13, 13, {"主路输入A相电压", "Main Input Voltage Phase A", "主路輸入A相電壓"}},
    {14, 14, {"主路输入B相电压", "Main Input Voltage Phase B", "主路輸入B相電壓"}},
    {15, 15, {"主路输入C相电压", "Main Input Voltage Phase C", "主路輸入C相電壓"}},
    {16, 16, {"主路输入A相电流", "Main Input Current Phase A", "主路輸入A相電流"}},
    {17, 17, {"主路输入B相电流", "Main Input Current Phase B", "主路輸入B相電流"}},
    {18, 18, {"主路输入C相电流", "Main Input Current Phase C", "主路輸入C相電流"}},
    {19, 19, {"主路输入A相频率", "Main Input Frequency Phase A", "主路輸入A相頻率"}},
    {20, 20, {"主路输入B相频率", "Main Input Frequency Phase B", "主路輸入B相頻率"}},
    {21, 21, {"主路输入C相频率", "Main Input Frequency Phase C", "主路輸入C相頻率"}},
    {22, 22, {"输入A相功率因数", "Input PF Phase A  ", "輸入A相功率因數"}},
    {23, 23, {"输入B相功率因数", "Input PF Phase B", "輸入B相功率因數"}},
    {24, 24, {"输入C相功率因数", "Input PF Phase C", "輸入C相功率因數"}},
    {25, 25, {"输出A相电压", "Output Voltage Phase A", "輸出A相電壓"}},
    {26, 26, {"输出B相电压", "Output Voltage Phase B", "輸出B相電壓"}},
    {27, 27, {"输出C相电压", "Output Voltage Phase C", "輸出C相電壓"}},
    {28, 28, {"输出A相电流", "Output Current Phase A", "輸出A相電流"}},
    {29, 29, {"输出B相电流", "Output Current Phase B", "輸出B相電流"}},
    {30, 30, {"输出C相电流", "Output Current Phase C", "輸出C相電流"}},
    {31, 31, {"输出A相频率", "Output Frequency Phase A", "輸出A相頻率"}},
    {32, 32, {"输出B相频率", "Output Frequency Phase B", "輸出B相頻率"}},
    {33, 33, {"输出C相频率", "Output Frequency Phase C", "輸出C相頻率"}},
    {34, 34, {"输出A相功率因数", "Output PF Phase A", "輸出A相功率因數"}},
    {35, 35, {"输出B相功率因数", "Output PF Phase B", "輸出B相功率因數"}},
    {36, 36, {"输出C相功率因数", "Output PF Phase C", "輸出C相功率因數"}},
    {37, 37, {"输出A相视在功率", "Output Apparent Power Phase A", "輸出A相視在功率"}},
    {38, 38, {"输出B相视在功率", "Output Apparent Power Phase B", "輸出B相視在功率"}},
    {39, 39, {"输出C相视在功率", "Output Apparent Power Phase C", "輸出C相視在功率"}},
    {40, 40, {"输出A相有功功率", "Output  Active Power Phase A  ", "輸出A相實功率"}},
    {41, 41, {"输出B相有功功率", "Output  Active Power Phase B  ", "輸出B相實功率"}},
    {42, 42, {"输出C相有功功率", "Output  Active Power Phase C  ", "輸出C相實功率"}},
    {43, 43, {"输出A相无功功率", "Output  Reactive Power Phase A", "輸出A相虛功率"}},
    {44, 44, {"输出B相无功功率", "Output  Reactive Power Phase B", "輸出B相虛功率"}},
    {45, 45, {"输出C相无功功率", "Output  Reactive Power Phase C", "輸出C相虛功率"}},
    {46, 46, {"A相负载率", "Load Percentage Phase A", "A相負載率"}},
    {47, 47, {"B相负载率", "Load Percentage Phase B", "B相負載率"}},
    {48, 48, {"C相负载率", "Load Percentage Phase C", "C相負載率"}},
    {49, 49, {"环境温度", "Ambient Temperature", "環境溫度"}},
    {50, 50, {"正电池组电压", "Postive Battery String Voltage", "正電池組電壓"}},
    {51, 51, {"负电池组电压", "Negative Battery String Voltage", "負電池組電壓"}},
    {52, 52, {"正电池组电流", "Postive Battery String Current", "正電池組電流"}},
    {53, 53, {"负电池组电流", "Negative Battery String Current", "負電池組電流"}},
    {54, 54, {"电池组温度", "Battery String Temperature ", "電池組溫度"}},
    {55, 55, {"电池组剩余时间", "Battery String Remain Time ", "電池組剩餘時間"}},
    {56, 56, {"电池组容量", "Battery String Capacity", "電池組容量"}},
    {57, 67, {"（保留）", "Recerve", "（保留）"}},
    {68, 68, {"监控系列号", "Monitor Series Number", "監控系列號"}},
    {69, 69, {"监控主版本号", "Monitor First Version Number", "監控主版本號"}},
    {70, 70, {"监控次版本号", "Monitor Second Version Number", "監控次版本號"}},
    {71, 71, {"当前调节模块号N", "Current Adjustable Module Number N", "目前調整模組號N"}},
    {72, 72, {"模块N逆变A相电压", "Module Number N Inverter Voltage Phase A", "模組N逆變A相電壓"}},
    {73, 73, {"模块N逆变B相电压", "Module Number N Inverter Voltage Phase B", "模組N逆變B相電壓"}},
    {74, 74, {"模块N逆变C相电压", "Module Number N Inverter Voltage Phase C", "模組N逆變C相電壓"}},
    {75, 75, {"模块N旁路A相电压", "Module Number N Bypass Voltage Phase A", "模組N旁路A相電壓"}},
    {76, 76, {"模块N旁路B相电压", "Module Number N Bypass Voltage Phase B", "模組N旁路B相電壓"}},
    {77, 77, {"模块N旁路C相电压", "Module Number N Bypass Voltage Phase C", "模組N旁路C相電壓"}},
    {78, 78, {"UPS系列号", "UPS Series Number", "UPS系列號"}},
    {79, 79, {"（保留）", "Recerve", "（保留）"}},
    {80, 80, {"ZAV_IP_PORT", "ZAV_IP_PORT", "ZAV_IP_PORT"}},
};

constexpr NameRun kModuleAnalogNames[] = { // 2000-2152, the module picked in register 2000
    {2000, 2000, {"当前模拟数据模块号", "Current Analog Data Module Number", "目前類比資料模組號"}},
    {2001, 2001, {"主路输入A相电压", "Main Input Voltage Phase A", "主路輸入A相電壓"}},
    {2002, 2002, {"主路输入B相电压", "Main Input Voltage Phase B", "主路輸入B相電壓"}},
    {2003, 2003, {"主路输入C相电压", "Main Input Voltage Phase C", "主路輸入C相電壓"}},
    {2004, 2004, {"主路输入A相电流", "Main Input Current Phase A", "主路輸入A相電流"}},
    {2005, 2005, {"主路输入B相电流", "Main Input Current Phase B", "主路輸入B相電流"}},
    {2006, 2006, {"主路输入C相电流", "Main Input Current Phase C", "主路輸入C相電流"}},
    {2007, 2007, {"主路输入A相频率", "Main Input Frequency Phase A", "主路輸入A相頻率"}},
    {2008, 2008, {"主路输入B相频率", "Main Input Frequency Phase B", "主路輸入B相頻率"}},
    {2009, 2009, {"主路输入C相频率", "Main Input Frequency Phase C", "主路輸入C相頻率"}},
    {2010, 2010, {"输入A相功率因数", "Input PF Phase A  ", "輸入A相功率因數"}},
    {2011, 2011, {"输入B相功率因数", "Input PF Phase B", "輸入B相功率因數"}},
    {2012, 2012, {"输入C相功率因数", "Input PF Phase C", "輸入C相功率因數"}},
    {2013, 2013, {"正直流母线电压", "Postive DC Bus Voltage", "正直流母線電壓"}},
    {2014, 2014, {"负直流母线电压", "Negative DC Bus Voltage", "負直流母線電壓"}},
    {2015, 2015, {"正电池组电压", "Postive Battery String Voltage", "正電池組電壓"}},
    {2016, 2016, {"负电池组电压", "Negative Battery String Voltage", "負電池組電壓"}},
    {2017, 2017, {"正充电器电压", "Postive Charger Voltage", "正充電器電壓"}},
    {2018, 2018, {"负充电器电压", "Negative Charger Voltage", "負充電器電壓"}},
    {2019, 2019, {"正充电电流", "Postive Charger Current", "正充電電流"}},
    {2020, 2020, {"负充电电流", "Negative Charger Current", "負充電電流"}},
    {2021, 2021, {"正放电电流", "Postive Discharge Current", "正放電電流"}},
    {2022, 2022, {"负放电电流", "Negative Discharge Current", "負放電電流"}},
    {2023, 2023, {"逆变A相电压", "Inverter Voltage Phase A", "逆變A相電壓"}},
    {2024, 2024, {"逆变B相电压", "Inverter Voltage Phase B", "逆變B相電壓"}},
    {2025, 2025, {"逆变C相电压", "Inverter Voltage Phase C", "逆變C相電壓"}},
    {2026, 2026, {"输出A相电流", "Output Current Phase A", "輸出A相電流"}},
    {2027, 2027, {"输出B相电流", "Output Current Phase B", "輸出B相電流"}},
    {2028, 2028, {"输出C相电流", "Output Current Phase C", "輸出C相電流"}},
    {2029, 2029, {"输出A相频率", "Output Frequency Phase A", "輸出A相頻率"}},
    {2030, 2030, {"输出B相频率", "Output Frequency Phase B", "輸出B相頻率"}},
    {2031, 2031, {"输出C相频率", "Output Frequency Phase C", "輸出C相頻率"}},
    {2032, 2032, {"输出A相功率因数", "Output PF Phase A", "輸出A相功率因數"}},
    {2033, 2033, {"输出B相功率因数", "Output PF Phase B", "輸出B相功率因數"}},
    {2034, 2034, {"输出C相功率因数", "Output PF Phase C", "輸出C相功率因數"}},
    {2035, 2035, {"输出A相电压", "Output Voltage Phase A", "輸出A相電壓"}},
    {2036, 2036, {"输出B相电压", "Output Voltage Phase B", "輸出B相電壓"}},
    {2037, 2037, {"输出C相电压", "Output Voltage Phase C", "輸出C相電壓"}},
    {2038, 2038, {"旁路A相电压", "Bypass Voltage Phase A", "旁路A相電壓"}},
    {2039, 2039, {"旁路B相电压", "Bypass Voltage Phase B", "旁路B相電壓"}},
    {2040, 2040, {"旁路C相电压", "Bypass Voltage Phase C", "旁路C相電壓"}},
    {2041, 2041, {"输出A相视在功率", "Output Apparent Power Phase A ", "輸出A相視在功率"}},
    {2042, 2042, {"输出B相视在功率", "Output Apparent Power Phase B ", "輸出B相視在功率"}},
    {2043, 2043, {"输出C相视在功率", "Output Apparent Power Phase C ", "輸出C相視在功率"}},
    {2044, 2044, {"输出A相有功功率", "Output Active Power Phase A ", "輸出A相實功率"}},
    {2045, 2045, {"输出B相有功功率", "Output Active Power Phase B", "輸出B相實功率"}},
    {2046, 2046, {"输出C相有功功率", "Output Active Power Phase C ", "輸出C相實功率"}},
    {2047, 2047, {"输出A相无功功率", "Output Reactive Power Phase A ", "輸出A相虛功率"}},
    {2048, 2048, {"输出B相无功功率", "Output Reactive Power Phase B ", "輸出B相虛功率"}},
    {2049, 2049, {"输出C相无功功率", "Output Reactive Power Phase C ", "輸出C相虛功率"}},
    {2050, 2050, {"输出A相负载率", "Output Load Percentage Phase A ", "輸出A相負載率"}},
    {2051, 2051, {"输出B相负载率", "Output Load Percentage Phase B ", "輸出B相負載率"}},
    {2052, 2052, {"输出C相负载率", "Output Load Percentage Phase C ", "輸出C相負載率"}},
    {2053, 2053, {"并机系统A相视在功率", "Parallel System  Apparent Power Phase A", "並聯系統A相視在功率"}},
    {2054, 2054, {"并机系统B相视在功率", "Parallel System  Apparent Power Phase B", "並聯系統B相視在功率"}},
    {2055, 2055, {"并机系统C相视在功率", "Parallel System  Apparent Power Phase C", "並聯系統C相視在功率"}},
    {2056, 2056, {"并机系统A相有功功率", "Parallel System Active Power Phase A  ", "並聯系統A相實功率"}},
    {2057, 2057, {"并机系统B相有功功率", "Parallel System Active Power Phase B  ", "並聯系統B相實功率"}},
    {2058, 2058, {"并机系统C相有功功率", "Parallel System Active Power Phase C  ", "並聯系統C相實功率"}},
    {2059, 2059, {"并机系统A相无功功率", "Parallel System Reactive Power Phase A", "並聯系統A相虛功率"}},
    {2060, 2060, {"并机系统B相无功功率", "Parallel System Reactive Power Phase B", "並聯系統B相虛功率"}},
    {2061, 2061, {"并机系统C相无功功率", "Parallel System Reactive Power Phase C", "並聯系統C相虛功率"}},
    {2062, 2062, {"并机系统A相负载率", "Parallel System Load Percentage Phase A", "並聯系統A相負載率"}},
    {2063, 2063, {"并机系统B相负载率", "Parallel System Load Percentage Phase B", "並聯系統B相負載率"}},
    {2064, 2064, {"并机系统C相负载率", "Parallel System Load Percentage Phase C", "並聯系統C相負載率"}},
    {2065, 2072, {"（保留）", "Reserved", "（保留）"}},
    {2073, 2073, {"风扇运行时间(小时)", "Fan Running Time (hour)", "風扇運轉時間(小時)"}},
    {2074, 2074, {"直流母线电容运行时间(小时)", "DC Bus Capacitor Running Time (hour)", "直流母線電容運轉時間(小時)"}},
    {2075, 2076, {"（保留）", "Reserved", "（保留）"}},
    {2077, 2077, {"整流禁止开机综合标志", "Forbid Rectifier Power On  Sign Integration", "整流禁止開機綜合旗標"}},
    {2078, 2078, {"市电与电池综合标志", "Utility Power  And Battery Sign Integration", "市電與電池綜合旗標"}},
    {2079, 2080, {"（保留）", "Reserved", "（保留）"}},
    {2081, 2081, {"整流DSP输入端口", "Rectifier DSP Input Port", "整流DSP輸入埠"}},
    {2082, 2082, {"整流DSP输出端口", "Rectifier DSP Output Port", "整流DSP輸出埠"}},
    {2083, 2083, {"逆变DSP输入端口", "Inverter DSP Input Port", "逆變DSP輸入埠"}},
    {2084, 2084, {"逆变DSP输出端口", "Inverter DSP Output", "逆變DSP輸出埠"}},
    {2085, 2085, {"允许逆变开机综合标志", "Allow Inverter  On Sign Integration ", "允許逆變開機綜合旗標"}},
    {2086, 2086, {"允许切换至逆变综合标志", "Allow Transfer to Invert  Sign Integration", "允許切換至逆變綜合旗標"}},
    {2087, 2087, {"切换至旁路锁定综合标志", "Transfer to Bypass Locked Sign Integration", "切換至旁路鎖定綜合旗標"}},
    {2088, 2088, {"逆变关机锁定综合标志", "Inverter Power Off Locked Sign Integration", "逆變關機鎖定綜合旗標"}},
    {2089, 2089, {"（保留）", "Reserved", "（保留）"}},
    {2090, 2090, {"逆变IO CAN", "Inverter IO CAN", "逆變IO CAN"}},
    {2091, 2091, {"逆变数据CAN", "Inverter  DATA CAN", "逆變資料CAN"}},
    {2092, 2092, {"并机信号", "Parallel Signal", "並聯訊號"}},
    {2093, 2093, {"读整流变量", "Read Rectifier Variate ", "讀取整流變數"}},
    {2094, 2094, {"写整流变量", "Write Rectifier Variate ", "寫入整流變數"}},
    {2095, 2095, {"读逆变变量", "Read Inverter Variate ", "讀取逆變變數"}},
    {2096, 2096, {"写逆变变量", "Write Inverter Variate ", "寫入逆變變數"}},
    {2097, 2097, {"进风口温度", "Inlet Temperature", "進風口溫度"}},
    {2098, 2098, {"出风口温度", "Outlet Temperature", "出風口溫度"}},
    {2099, 2099, {"整流A相IGBT温度", "Rectifier IGBT Temperature Phase A ", "整流A相IGBT溫度"}},
    {2100, 2100, {"整流B相IGBT温度", "Rectifier IGBT Temperature Phase B", "整流B相IGBT溫度"}},
    {2101, 2101, {"整流C相IGBT温度", "Rectifier  IGBT Temperature Phase C", "整流C相IGBT溫度"}},
    {2102, 2102, {"逆变A相IGBT温度", "Inverter IGBT Temperature Phase A ", "逆變A相IGBT溫度"}},
    {2103, 2103, {"逆变B相IGBT温度", "Inverter IGBT Temperature Phase B ", "逆變B相IGBT溫度"}},
    {2104, 2104, {"逆变C相IGBT温度", "Inverter IGBT Temperature Phase C", "逆變C相IGBT溫度"}},
    {2105, 2107, {"（保留）", "Reserved", "（保留）"}},
    {2108, 2108, {"输入SCR温度", "Input SCR Temperature", "輸入SCR溫度"}},
    {2109, 2144, {"（保留）", "Reserved", "（保留）"}},
    {2145, 2145, {"整流器标识", "Rectifier Identifer", "整流器識別碼"}},
    {2146, 2146, {"整流器系列号", "Rectifier Series Number", "整流器系列號"}},
    {2147, 2147, {"整流器主版本号", "Rectifier First Version Number", "整流器主版本號"}},
    {2148, 2148, {"整流器次版本号", "Rectifier Second Version Number", "整流器次版本號"}},
    {2149, 2149, {"逆变器标识", "Inverter Identifer", "逆變器識別碼"}},
    {2150, 2150, {"逆变器系列号", "Inverter Series Number", "逆變器系列號"}},
    {2151, 2151, {"逆变器主版本号", "Inverter First Version Number", "逆變器主版本號"}},
    {2152, 2152, {"逆变器次版本号", "Inverter Second Version Number", "逆變器次版本號"}},
};

constexpr NameRun kStatusNames[] = { // 81-120; 121-240 follow kModuleStatusNames
    {81, 81, {"供电方式", "Supply Source", "供電方式"}},
    {82, 82, {"电池工作状态", "Battery Work Status", "電池工作狀態"}},
    {83, 83, {"电池连接状态", "Battery Connect Status", "電池連接狀態"}},
    {84, 84, {"维修旁路空开状态", "Maintenance CB Status", "維修旁路斷路器狀態"}},
    {85, 85, {"紧急关机(EPO)", "EPO", "緊急關機(EPO)"}},
    {86, 86, {"逆变启动容量不足", "Inverter Ready Capacity", "逆變啟動容量不足"}},
    {87, 87, {"发电机接入状态", "Generator Connect Status", "發電機接入狀態"}},
    {88, 88, {"交流输入故障", "Input Fail", "交流輸入故障"}},
    {89, 89, {"旁路相序故障", "Bypass Sequence Fail", "旁路相序故障"}},
    {90, 90, {"旁路电压故障", "Bypass Voltage Fail", "旁路電壓故障"}},
    {91, 91, {"旁路故障", "Bypass Fail", "旁路故障"}},
    {92, 92, {"旁路过载", "Bypass Overlode", "旁路超載"}},
    {93, 93, {"旁路过载超时", "Bypass Overlode Timeout", "旁路超載超時"}},
    {94, 94, {"旁路超跟踪", "Bypass Untrack", "旁路超跟蹤"}},
    {95, 95, {"切换次数超限", "Translate Times Limit Out", "切換次數超限"}},
    {96, 96, {"输出短路", "Output Short", "輸出短路"}},
    {97, 97, {"电池放电终止(EOD)", "Battery EOD", "電池放電終止(EOD)"}},
    {98, 98, {"电池自检开始", "Battery Test Begin", "電池自檢開始"}},
    {99, 99, {"电池自检状态", "Battery Test Status", "電池自檢狀態"}},
    {100, 100, {"电池手动自检开始", "Battery Manual Test Begin", "電池手動自檢開始"}},
    {101, 101, {"电池维护状态", "Battery Maintain Status", "電池維護狀態"}},
    {102, 102, {"停止测试", "Stop Test", "停止測試"}},
    {103, 103, {"故障清除", "Fail Clear", "故障清除"}},
    {104, 104, {"历史记录清除", "History Clear", "歷史紀錄清除"}},
    {105, 105, {"禁止开机", "Prohibit Power On", "禁止開機"}},
    {106, 106, {"手动旁路", "Manual Bypass", "手動旁路"}},
    {107, 107, {"电池低压", "Battery Voltage Low", "電池低壓"}},
    {108, 108, {"电池反接", "Battery Reverse", "電池反接"}},
    {109, 109, {"整流器状态", "Rectifier Status", "整流器狀態"}},
    {110, 110, {"输入零线断开", "Input Neutral Lost", "輸入中性線斷開"}},
    {111, 111, {"旁路风扇故障", "Bypass Fan Fail", "旁路風扇故障"}},
    {112, 112, {"N+X冗余丢失", "N+X Redundant Lost", "N+X冗餘失效"}},
    {113, 113, {"EOD后系统禁止开机", "EOD System Inhibited", "EOD後系統禁止開機"}},
    {114, 114, {"CT反接", "CT Weld Reverse", "CT反接"}},
    {115, 118, {"（保留）", "Reserved", "（保留）"}},
    {119, 119, {"在线模块标志高位字", "Online Module Flag High Word", "線上模組旗標高位字"}},
    {120, 120, {"在线模块标志低位字", "Online Module Flag Low Word", "線上模組旗標低位字"}},
};

// The twelve status words of each of the ten modules (121-132 for module 1, then 12 per module);
// "%1" is the module number.
constexpr Texts3 kModuleStatusNames[12] = {
    {"模块%1已插入", "Module %1 Inserted", "模組%1已插入"},
    {"模块%1整流器故障", "Module %1 Rectifier Fail", "模組%1整流器故障"},
    {"模块%1逆变器故障", "Module %1 Inverter Fail", "模組%1逆變器故障"},
    {"模块%1整流器过温", "Module %1 Rectifier Over Temperature", "模組%1整流器過溫"},
    {"模块%1风扇故障", "Module %1 Fan Fail", "模組%1風扇故障"},
    {"模块%1过载", "Module %1 Over Lode", "模組%1超載"},
    {"模块%1过载超时", "Module %1 Over Lode Timeout", "模組%1超載超時"},
    {"模块%1逆变器过温", "Module %1 Inverter Over Temperature", "模組%1逆變器過溫"},
    {"模块%1逆变器保护", "Module %1 Inverter Protect", "模組%1逆變器保護"},
    {"模块%1手动关机", "Module %1 Manual Shutdown", "模組%1手動關機"},
    {"（保留）", "Reserved", "（保留）"},
    {"（保留）", "Reserved", "（保留）"},
};
// clang-format on

constexpr int kModuleStatusFirst = 121;
constexpr int kModuleStatusLast = 240;
constexpr int kModuleStatusWords = 12;

template <size_t N>
const Texts3* findRun(const NameRun (&table)[N], int reg) {
    for (const NameRun& run : table)
        if (reg >= run.first && reg <= run.last) return &run.text;
    return nullptr;
}

} // namespace

QString liveRegisterName(int reg, int language) {
    if (reg >= kModuleStatusFirst && reg <= kModuleStatusLast) {
        const int word = (reg - kModuleStatusFirst) % kModuleStatusWords;
        const int module = (reg - kModuleStatusFirst) / kModuleStatusWords + 1;
        const QString name = pickText(kModuleStatusNames[word], language);
        return name.contains(QLatin1String("%1")) ? name.arg(module) : name;
    }
    for (const Texts3* text : {findRun(kAnalogNames, reg), findRun(kStatusNames, reg),
                               findRun(kModuleAnalogNames, reg)})
        if (text) return pickText(*text, language);
    return {};
}

} // namespace zav
