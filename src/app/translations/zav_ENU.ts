<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>AboutPage</name>
    <message>
        <source>版权所有 © 制造商。保留所有权利。</source>
        <translation>Copyright © the manufacturer. All rights reserved.</translation>
    </message>
    <message>
        <source>网址：请见产品说明书</source>
        <translation>Web: see the product manual</translation>
    </message>
</context>
<context>
    <name>Form1</name>
    <message>
        <source>UPS型号</source>
        <translation>UPS Type</translation>
    </message>
    <message>
        <source>波特率</source>
        <translation>Baud</translation>
    </message>
    <message>
        <source>串口</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>协议</source>
        <translation>Protocol</translation>
    </message>
    <message>
        <source>地址</source>
        <translation>Address</translation>
    </message>
    <message>
        <source>设置</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>软件设置</source>
        <translation>Software Settings</translation>
    </message>
    <message>
        <source>退出</source>
        <translation>Exit</translation>
    </message>
</context>
<context>
    <name>FormPassword</name>
    <message>
        <source>设置</source>
        <comment>title</comment>
        <translation>Settings</translation>
    </message>
    <message>
        <source>密码设置</source>
        <translation>Password</translation>
    </message>
    <message>
        <source>请输入旧密码</source>
        <translation>Old password</translation>
    </message>
    <message>
        <source>请输入新密码</source>
        <translation>New password</translation>
    </message>
    <message>
        <source>请确认新密码</source>
        <translation>Confirm new password</translation>
    </message>
    <message>
        <source>设置</source>
        <comment>button</comment>
        <translation>Set</translation>
    </message>
    <message>
        <source>主窗口</source>
        <translation>Main window</translation>
    </message>
    <message>
        <source>窗口关闭时最小化到托盘</source>
        <translation>Minimize to tray when the window is closed</translation>
    </message>
    <message>
        <source>语言</source>
        <translation>Language</translation>
    </message>
    <message>
        <source>切换语言会断开与UPS的连接，切换后请重新连接。</source>
        <translation>Switching the language disconnects the UPS; connect again afterwards.</translation>
    </message>
    <message>
        <source>通信节奏</source>
        <translation>Link timing</translation>
    </message>
    <message>
        <source>快速：应答完整即发送下一请求</source>
        <translation>Fast: the next request as soon as a reply is whole</translation>
    </message>
    <message>
        <source>经典：每一步等待50毫秒节拍</source>
        <translation>Classic: every step waits for a 50 ms tick</translation>
    </message>
    <message>
        <source>请求前额外间隔（毫秒）</source>
        <translation>Extra pause before each request (ms)</translation>
    </message>
    <message>
        <source>找不到该语言的语言文件，语言未切换。</source>
        <translation>The language file was not found; the language was not switched.</translation>
    </message>
</context>
<context>
    <name>HelpPage</name>
    <message>
        <source>如有问题，请与制造商的技术服务部门联系。</source>
        <translation>For questions, please contact the technical service of the manufacturer.</translation>
    </message>
    <message>
        <source>1. 用485转232转换器把UPS的RS485通讯口接到电脑的串口（或USB转串口）上。</source>
        <translation>1. Connect the RS485 port of the UPS to a serial port of the PC (or a USB serial adapter) through a 485-to-232 converter.</translation>
    </message>
    <message>
        <source>2. 在"UPS型号"中选择UPS的机型；不清楚机型时选择"Auto"，连接后软件会从UPS读取机型。</source>
        <translation>2. Choose the model of the UPS under "UPS Type"; if you are not sure, choose "Auto" and the program reads the model from the UPS after connecting.</translation>
    </message>
    <message>
        <source>3. 在"协议"中选择与UPS一致的通讯协议：MODBUS_ASCII 或 MODBUS_RTU。</source>
        <translation>3. Choose the protocol the UPS uses under "Protocol": MODBUS_ASCII or MODBUS_RTU.</translation>
    </message>
    <message>
        <source>4. 在"地址"中输入UPS的通讯地址（1 ~ 254），须与UPS上设置的地址相同。</source>
        <translation>4. Enter the communication address of the UPS (1 ~ 254) under "Address"; it must be the address set on the UPS.</translation>
    </message>
    <message>
        <source>5. 在"波特率"中选择与UPS一致的波特率；选择"Auto"时软件会依次尝试各个波特率，找到后自动显示。</source>
        <translation>5. Choose the baud rate of the UPS under "Baud"; with "Auto" the program tries the rates one after another and shows the one that answers.</translation>
    </message>
    <message>
        <source>6. 在"串口"中选择接UPS的串口，也可以直接输入串口名称，例如 /dev/ttyUSB0。</source>
        <translation>6. Choose the serial port the UPS is wired to under "Port", or type its name, for example /dev/ttyUSB0.</translation>
    </message>
    <message>
        <source>7. 按"连接"开始通讯，状态栏显示"UPS已连接"表示通讯正常；按"断开"结束通讯。</source>
        <translation>7. Press "Connect" to start; "UPS Connected" in the status bar shows that the UPS answers. Press "Disconnect" to stop.</translation>
    </message>
    <message>
        <source>8. 左侧的"旁路数据"、"主路数据"、"输出数据"、"电池数据"页显示实时数据，"整机状态"和"单元状态"页显示整机及各功率单元的状态。</source>
        <translation>8. The pages "BypassData", "MainIpData", "OutputData" and "BatteryData" on the left show the live measurements; "CabStatus" and "UnitStatus" show the state of the UPS and of each power unit.</translation>
    </message>
    <message>
        <source>9. "记录下载"和"维护代码"页下载并保存UPS的历史记录和维护代码；"额定设置"、"用服设置"等页须输入密码后才能查看和修改UPS的设置。</source>
        <translation>9. "HisLogDown" and "SCodeDown" download and save the history log and the maintenance codes of the UPS; "RateSetting", "ServSetting" and the other service pages ask for a password before the settings of the UPS can be viewed and changed.</translation>
    </message>
    <message>
        <source>10. 出厂密码见随机的使用说明书。点击窗口右上角的设置按钮（或托盘菜单的"软件设置"），输入旧密码和两次新密码即可设置您自己的密码。</source>
        <translation>10. The factory password is in the manual that came with the program. To set a password of your own, open the settings button at the top right of the window (or "Software Settings" in the tray menu) and type the old password and the new one twice.</translation>
    </message>
</context>
<context>
    <name>LockPanel</name>
    <message>
        <source>密码</source>
        <translation>Password</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
</context>
</TS>
