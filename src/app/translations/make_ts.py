#!/usr/bin/env python3
"""Writes zav_CHS.ts, zav_ENU.ts and zav_CHT.ts from the window captions found in the sources.

The captions are the texts passed to the small caption helpers of the app windows
(formText, caption, helpText, aboutText, and translate("LockPanel", ...)) and the entries of
kHelpParagraphs. Every caption must have an English and a Traditional Chinese text below; the
script stops when one is missing, so a new caption cannot slip into a build untranslated.
Run it after changing a caption:  python3 src/app/translations/make_ts.py
"""
import pathlib
import re
import sys
from xml.sax.saxutils import escape

HERE = pathlib.Path(__file__).resolve().parent
# The window's own widgets and the page kit (the lock panel).
WIDGET_FOLDERS = [HERE.parent / "widgets", HERE.parent.parent / "pagekit"]

HELPERS = {
    "formText": "Form1",
    "caption": "FormPassword",
    "helpText": "HelpPage",
    "aboutText": "AboutPage",
}

# source (and disambiguation) -> (English, Traditional Chinese)
TEXTS = {
    ("UPS型号", None): ("UPS Type", "UPS型號"),
    ("波特率", None): ("Baud", "波特率"),
    ("串口", None): ("Port", "串口"),
    ("协议", None): ("Protocol", "協定"),
    ("地址", None): ("Address", "位址"),
    ("设置", None): ("Settings", "設置"),
    ("软件设置", None): ("Software Settings", "軟體設置"),
    ("退出", None): ("Exit", "退出"),
    ("密码", None): ("Password", "密碼"),
    ("确定", None): ("OK", "確定"),
    ("设置", "title"): ("Settings", "設置"),
    ("设置", "button"): ("Set", "設置"),
    ("通信节奏", None): ("Link timing", "通訊節奏"),
    ("快速：应答完整即发送下一请求", None): ("Fast: the next request as soon as a reply is whole", "快速：應答完整即發送下一請求"),
    ("经典：每一步等待50毫秒节拍", None): ("Classic: every step waits for a 50 ms tick", "經典：每一步等待50毫秒節拍"),
    ("请求前额外间隔（毫秒）", None): ("Extra pause before each request (ms)", "請求前額外間隔（毫秒）"),
    ("密码设置", None): ("Password", "密碼設置"),
    ("请输入旧密码", None): ("Old password", "請輸入舊密碼"),
    ("请输入新密码", None): ("New password", "請輸入新密碼"),
    ("请确认新密码", None): ("Confirm new password", "請確認新密碼"),
    ("主窗口", None): ("Main window", "主視窗"),
    ("窗口关闭时最小化到托盘", None): ("Minimize to tray when the window is closed", "視窗關閉時最小化到托盤"),
    ("语言", None): ("Language", "語言"),
    ("切换语言会断开与UPS的连接，切换后请重新连接。", None): (
        "Switching the language disconnects the UPS; connect again afterwards.",
        "切換語言會中斷與UPS的連線，切換後請重新連線。"),
    ("找不到该语言的语言文件，语言未切换。", None): (
        "The language file was not found; the language was not switched.",
        "找不到該語言的語言檔，語言未切換。"),
    ("1. 用485转232转换器把UPS的RS485通讯口接到电脑的串口（或USB转串口）上。", None): (
        "1. Connect the RS485 port of the UPS to a serial port of the PC (or a USB serial adapter) "
        "through a 485-to-232 converter.",
        "1. 用485轉232轉換器把UPS的RS485通訊口接到電腦的串口（或USB轉串口）上。"),
    ("2. 在\"UPS型号\"中选择UPS的机型；不清楚机型时选择\"Auto\"，连接后软件会从UPS读取机型。", None): (
        "2. Choose the model of the UPS under \"UPS Type\"; if you are not sure, choose \"Auto\" and the "
        "program reads the model from the UPS after connecting.",
        "2. 在\"UPS型號\"中選擇UPS的機型；不清楚機型時選擇\"Auto\"，連接後軟體會從UPS讀取機型。"),
    ("3. 在\"协议\"中选择与UPS一致的通讯协议：MODBUS_ASCII 或 MODBUS_RTU。", None): (
        "3. Choose the protocol the UPS uses under \"Protocol\": MODBUS_ASCII or MODBUS_RTU.",
        "3. 在\"協定\"中選擇與UPS一致的通訊協定：MODBUS_ASCII 或 MODBUS_RTU。"),
    ("4. 在\"地址\"中输入UPS的通讯地址（1 ~ 254），须与UPS上设置的地址相同。", None): (
        "4. Enter the communication address of the UPS (1 ~ 254) under \"Address\"; it must be the "
        "address set on the UPS.",
        "4. 在\"位址\"中輸入UPS的通訊位址（1 ~ 254），須與UPS上設置的位址相同。"),
    ("5. 在\"波特率\"中选择与UPS一致的波特率；选择\"Auto\"时软件会依次尝试各个波特率，找到后自动显示。", None): (
        "5. Choose the baud rate of the UPS under \"Baud\"; with \"Auto\" the program tries the rates "
        "one after another and shows the one that answers.",
        "5. 在\"波特率\"中選擇與UPS一致的波特率；選擇\"Auto\"時軟體會依次嘗試各個波特率，找到後自動顯示。"),
    ("6. 在\"串口\"中选择接UPS的串口，也可以直接输入串口名称，例如 /dev/ttyUSB0。", None): (
        "6. Choose the serial port the UPS is wired to under \"Port\", or type its name, for example "
        "/dev/ttyUSB0.",
        "6. 在\"串口\"中選擇接UPS的串口，也可以直接輸入串口名稱，例如 /dev/ttyUSB0。"),
    ("7. 按\"连接\"开始通讯，状态栏显示\"UPS已连接\"表示通讯正常；按\"断开\"结束通讯。", None): (
        "7. Press \"Connect\" to start; \"UPS Connected\" in the status bar shows that the UPS answers. "
        "Press \"Disconnect\" to stop.",
        "7. 按\"連接\"開始通訊，狀態列顯示\"UPS已連接\"表示通訊正常；按\"斷開\"結束通訊。"),
    ("8. 左侧的\"旁路数据\"、\"主路数据\"、\"输出数据\"、\"电池数据\"页显示实时数据，\"整机状态\"和\"单元状态\"页显示整机及各功率单元的状态。", None): (
        "8. The pages \"BypassData\", \"MainIpData\", \"OutputData\" and \"BatteryData\" on the left show "
        "the live measurements; \"CabStatus\" and \"UnitStatus\" show the state of the UPS and of each "
        "power unit.",
        "8. 左側的\"旁路數據\"、\"主路數據\"、\"輸出數據\"、\"電池數據\"頁顯示即時數據，\"整機狀態\"和\"單元狀態\"頁顯示整機及各功率單元的狀態。"),
    ("9. \"记录下载\"和\"维护代码\"页下载并保存UPS的历史记录和维护代码；\"额定设置\"、\"用服设置\"等页须输入密码后才能查看和修改UPS的设置。", None): (
        "9. \"HisLogDown\" and \"SCodeDown\" download and save the history log and the maintenance codes "
        "of the UPS; \"RateSetting\", \"ServSetting\" and the other service pages ask for a password "
        "before the settings of the UPS can be viewed and changed.",
        "9. \"記錄下載\"和\"維護代碼\"頁下載並保存UPS的歷史記錄和維護代碼；\"額定設置\"、\"用服設置\"等頁須輸入密碼後才能查看和修改UPS的設置。"),
    ("10. 出厂密码见随机的使用说明书。点击窗口右上角的设置按钮（或托盘菜单的\"软件设置\"），输入旧密码和两次新密码即可设置您自己的密码。", None): (
        "10. The factory password is in the manual that came with the program. To set a password of your own, open the settings button at the top right of the window (or \"Software Settings\" in the tray menu) and type the old password and the new one twice.",
        "10. 出廠密碼見隨附的使用說明書。點擊視窗右上角的設置按鈕（或托盤選單的\"軟體設置\"），輸入舊密碼和兩次新密碼即可設置您自己的密碼。"),
    ("如有问题，请与制造商的技术服务部门联系。", None): (
        "For questions, please contact the technical service of the manufacturer.",
        "如有問題，請與製造商的技術服務部門聯繫。"),
    ("版权所有 © 制造商。保留所有权利。", None): (
        "Copyright © the manufacturer. All rights reserved.", "版權所有 © 製造商。保留所有權利。"),
    ("网址：请见产品说明书", None): ("Web: see the product manual", "網址：請見產品說明書"),
}

C_STRING = r'"((?:[^"\\]|\\.)*)"'


def unescape(text):
    return text.replace('\\"', '"').replace("\\\\", "\\")


def collect():
    found = []  # (context, source, disambiguation)
    for path in sorted(p for folder in WIDGET_FOLDERS for p in folder.glob("*.cpp")):
        code = path.read_text(encoding="utf-8")
        for helper, context in HELPERS.items():
            for m in re.finditer(r"\b%s\(%s(?:,\s*%s)?\)" % (helper, C_STRING, C_STRING), code):
                found.append((context, unescape(m.group(1)), unescape(m.group(2)) if m.group(2) else None))
        for m in re.finditer(r'translate\("(\w+)",\s*%s\)' % C_STRING, code):
            found.append((m.group(1), unescape(m.group(2)), None))
        block = re.search(r"kHelpParagraphs\[\] = \{(.*?)\};", code, re.S)
        if block:
            for m in re.finditer(C_STRING, block.group(1)):
                found.append(("HelpPage", unescape(m.group(1)), None))
    unique = []
    for entry in found:
        if entry not in unique:
            unique.append(entry)
    return unique


def write(name, language, pick, entries):
    lines = ['<?xml version="1.0" encoding="utf-8"?>', "<!DOCTYPE TS>",
             '<TS version="2.1" language="%s">' % language]
    for context in sorted({c for c, _, _ in entries}):
        lines += ["<context>", "    <name>%s</name>" % context]
        for c, source, which in entries:
            if c != context:
                continue
            lines.append("    <message>")
            lines.append("        <source>%s</source>" % escape(source))
            if which:
                lines.append("        <comment>%s</comment>" % escape(which))
            lines.append("        <translation>%s</translation>" % escape(pick(source, which)))
            lines.append("    </message>")
        lines.append("</context>")
    lines.append("</TS>")
    (HERE / name).write_text("\n".join(lines) + "\n", encoding="utf-8")


def main():
    entries = collect()
    missing = [(c, s, w) for c, s, w in entries if (s, w) not in TEXTS]
    if missing:
        for c, s, w in missing:
            print("no translation for %s: %r (%s)" % (c, s, w), file=sys.stderr)
        return 1
    write("zav_CHS.ts", "zh_CN", lambda s, w: s, entries)
    write("zav_ENU.ts", "en_US", lambda s, w: TEXTS[(s, w)][0], entries)
    write("zav_CHT.ts", "zh_TW", lambda s, w: TEXTS[(s, w)][1], entries)
    print("%d captions" % len(entries))
    return 0


if __name__ == "__main__":
    sys.exit(main())
