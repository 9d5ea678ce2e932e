<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>AboutPage</name>
    <message>
        <source>版权所有 © 制造商。保留所有权利。</source>
        <translation>版权所有 © 制造商。保留所有权利。</translation>
    </message>
    <message>
        <source>网址：请见产品说明书</source>
        <translation>网址：请见产品说明书</translation>
    </message>
</context>
<context>
    <name>Form1</name>
    <message>
        <source>UPS型号</source>
        <translation>UPS型号</translation>
    </message>
    <message>
        <source>波特率</source>
        <translation>波特率</translation>
    </message>
    <message>
        <source>串口</source>
        <translation>串口</translation>
    </message>
    <message>
        <source>协议</source>
        <translation>协议</translation>
    </message>
    <message>
        <source>地址</source>
        <translation>地址</translation>
    </message>
    <message>
        <source>设置</source>
        <translation>设置</translation>
    </message>
    <message>
        <source>软件设置</source>
        <translation>软件设置</translation>
    </message>
    <message>
        <source>退出</source>
        <translation>退出</translation>
    </message>
</context>
<context>
    <name>FormPassword</name>
    <message>
        <source>设置</source>
        <comment>title</comment>
        <translation>设置</translation>
    </message>
    <message>
        <source>密码设置</source>
        <translation>密码设置</translation>
    </message>
    <message>
        <source>请输入旧密码</source>
        <translation>请输入旧密码</translation>
    </message>
    <message>
        <source>请输入新密码</source>
        <translation>请输入新密码</translation>
    </message>
    <message>
        <source>请确认新密码</source>
        <translation>请确认新密码</translation>
    </message>
    <message>
        <source>设置</source>
        <comment>button</comment>
        <translation>设置</translation>
    </message>
    <message>
        <source>主窗口</source>
        <translation>主窗口</translation>
    </message>
    <message>
        <source>窗口关闭时最小化到托盘</source>
        <translation>窗口关闭时最小化到托盘</translation>
    </message>
    <message>
        <source>语言</source>
        <translation>语言</translation>
    </message>
    <message>
        <source>切换语言会断开与UPS的连接，切换后请重新连接。</source>
        <translation>切换语言会断开与UPS的连接，切换后请重新连接。</translation>
    </message>
    <message>
        <source>通信节奏</source>
        <translation>通信节奏</translation>
    </message>
    <message>
        <source>快速：应答完整即发送下一请求</source>
        <translation>快速：应答完整即发送下一请求</translation>
    </message>
    <message>
        <source>经典：每一步等待50毫秒节拍</source>
        <translation>经典：每一步等待50毫秒节拍</translation>
    </message>
    <message>
        <source>请求前额外间隔（毫秒）</source>
        <translation>请求前额外间隔（毫秒）</translation>
    </message>
    <message>
        <source>找不到该语言的语言文件，语言未切换。</source>
        <translation>找不到该语言的语言文件，语言未切换。</translation>
    </message>
</context>
<context>
    <name>HelpPage</name>
    <message>
        <source>如有问题，请与制造商的技术服务部门联系。</source>
        <translation>如有问题，请与制造商的技术服务部门联系。</translation>
    </message>
    <message>
        <source>1. 用485转232转换器把UPS的RS485通讯口接到电脑的串口（或USB转串口）上。</source>
        <translation>1. 用485转232转换器把UPS的RS485通讯口接到电脑的串口（或USB转串口）上。</translation>
    </message>
    <message>
        <source>2. 在"UPS型号"中选择UPS的机型；不清楚机型时选择"Auto"，连接后软件会从UPS读取机型。</source>
        <translation>2. 在"UPS型号"中选择UPS的机型；不清楚机型时选择"Auto"，连接后软件会从UPS读取机型。</translation>
    </message>
    <message>
        <source>3. 在"协议"中选择与UPS一致的通讯协议：MODBUS_ASCII 或 MODBUS_RTU。</source>
        <translation>3. 在"协议"中选择与UPS一致的通讯协议：MODBUS_ASCII 或 MODBUS_RTU。</translation>
    </message>
    <message>
        <source>4. 在"地址"中输入UPS的通讯地址（1 ~ 254），须与UPS上设置的地址相同。</source>
        <translation>4. 在"地址"中输入UPS的通讯地址（1 ~ 254），须与UPS上设置的地址相同。</translation>
    </message>
    <message>
        <source>5. 在"波特率"中选择与UPS一致的波特率；选择"Auto"时软件会依次尝试各个波特率，找到后自动显示。</source>
        <translation>5. 在"波特率"中选择与UPS一致的波特率；选择"Auto"时软件会依次尝试各个波特率，找到后自动显示。</translation>
    </message>
    <message>
        <source>6. 在"串口"中选择接UPS的串口，也可以直接输入串口名称，例如 /dev/ttyUSB0。</source>
        <translation>6. 在"串口"中选择接UPS的串口，也可以直接输入串口名称，例如 /dev/ttyUSB0。</translation>
    </message>
    <message>
        <source>7. 按"连接"开始通讯，状态栏显示"UPS已连接"表示通讯正常；按"断开"结束通讯。</source>
        <translation>7. 按"连接"开始通讯，状态栏显示"UPS已连接"表示通讯正常；按"断开"结束通讯。</translation>
    </message>
    <message>
        <source>8. 左侧的"旁路数据"、"主路数据"、"输出数据"、"电池数据"页显示实时数据，"整机状态"和"单元状态"页显示整机及各功率单元的状态。</source>
        <translation>8. 左侧的"旁路数据"、"主路数据"、"输出数据"、"电池数据"页显示实时数据，"整机状态"和"单元状态"页显示整机及各功率单元的状态。</translation>
    </message>
    <message>
        <source>9. "记录下载"和"维护代码"页下载并保存UPS的历史记录和维护代码；"额定设置"、"用服设置"等页须输入密码后才能查看和修改UPS的设置。</source>
        <translation>9. "记录下载"和"维护代码"页下载并保存UPS的历史记录和维护代码；"额定设置"、"用服设置"等页须输入密码后才能查看和修改UPS的设置。</translation>
    </message>
    <message>
        <source>10. 出厂密码见随机的使用说明书。点击窗口右上角的设置按钮（或托盘菜单的"软件设置"），输入旧密码和两次新密码即可设置您自己的密码。</source>
        <translation>10. 出厂密码见随机的使用说明书。点击窗口右上角的设置按钮（或托盘菜单的"软件设置"），输入旧密码和两次新密码即可设置您自己的密码。</translation>
    </message>
</context>
<context>
    <name>LockPanel</name>
    <message>
        <source>密码</source>
        <translation>密码</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>确定</translation>
    </message>
</context>
</TS>
