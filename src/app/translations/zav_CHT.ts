<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_TW">
<context>
    <name>AboutPage</name>
    <message>
        <source>版权所有 © 制造商。保留所有权利。</source>
        <translation>版權所有 © 製造商。保留所有權利。</translation>
    </message>
    <message>
        <source>网址：请见产品说明书</source>
        <translation>網址：請見產品說明書</translation>
    </message>
</context>
<context>
    <name>Form1</name>
    <message>
        <source>UPS型号</source>
        <translation>UPS型號</translation>
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
        <translation>協定</translation>
    </message>
    <message>
        <source>地址</source>
        <translation>位址</translation>
    </message>
    <message>
        <source>设置</source>
        <translation>設置</translation>
    </message>
    <message>
        <source>软件设置</source>
        <translation>軟體設置</translation>
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
        <translation>設置</translation>
    </message>
    <message>
        <source>密码设置</source>
        <translation>密碼設置</translation>
    </message>
    <message>
        <source>请输入旧密码</source>
        <translation>請輸入舊密碼</translation>
    </message>
    <message>
        <source>请输入新密码</source>
        <translation>請輸入新密碼</translation>
    </message>
    <message>
        <source>请确认新密码</source>
        <translation>請確認新密碼</translation>
    </message>
    <message>
        <source>设置</source>
        <comment>button</comment>
        <translation>設置</translation>
    </message>
    <message>
        <source>主窗口</source>
        <translation>主視窗</translation>
    </message>
    <message>
        <source>窗口关闭时最小化到托盘</source>
        <translation>視窗關閉時最小化到托盤</translation>
    </message>
    <message>
        <source>语言</source>
        <translation>語言</translation>
    </message>
    <message>
        <source>切换语言会断开与UPS的连接，切换后请重新连接。</source>
        <translation>切換語言會中斷與UPS的連線，切換後請重新連線。</translation>
    </message>
    <message>
        <source>通信节奏</source>
        <translation>通訊節奏</translation>
    </message>
    <message>
        <source>快速：应答完整即发送下一请求</source>
        <translation>快速：應答完整即發送下一請求</translation>
    </message>
    <message>
        <source>经典：每一步等待50毫秒节拍</source>
        <translation>經典：每一步等待50毫秒節拍</translation>
    </message>
    <message>
        <source>请求前额外间隔（毫秒）</source>
        <translation>請求前額外間隔（毫秒）</translation>
    </message>
    <message>
        <source>找不到该语言的语言文件，语言未切换。</source>
        <translation>找不到該語言的語言檔，語言未切換。</translation>
    </message>
</context>
<context>
    <name>HelpPage</name>
    <message>
        <source>如有问题，请与制造商的技术服务部门联系。</source>
        <translation>如有問題，請與製造商的技術服務部門聯繫。</translation>
    </message>
    <message>
        <source>1. 用485转232转换器把UPS的RS485通讯口接到电脑的串口（或USB转串口）上。</source>
        <translation>1. 用485轉232轉換器把UPS的RS485通訊口接到電腦的串口（或USB轉串口）上。</translation>
    </message>
    <message>
        <source>2. 在"UPS型号"中选择UPS的机型；不清楚机型时选择"Auto"，连接后软件会从UPS读取机型。</source>
        <translation>2. 在"UPS型號"中選擇UPS的機型；不清楚機型時選擇"Auto"，連接後軟體會從UPS讀取機型。</translation>
    </message>
    <message>
        <source>3. 在"协议"中选择与UPS一致的通讯协议：MODBUS_ASCII 或 MODBUS_RTU。</source>
        <translation>3. 在"協定"中選擇與UPS一致的通訊協定：MODBUS_ASCII 或 MODBUS_RTU。</translation>
    </message>
    <message>
        <source>4. 在"地址"中输入UPS的通讯地址（1 ~ 254），须与UPS上设置的地址相同。</source>
        <translation>4. 在"位址"中輸入UPS的通訊位址（1 ~ 254），須與UPS上設置的位址相同。</translation>
    </message>
    <message>
        <source>5. 在"波特率"中选择与UPS一致的波特率；选择"Auto"时软件会依次尝试各个波特率，找到后自动显示。</source>
        <translation>5. 在"波特率"中選擇與UPS一致的波特率；選擇"Auto"時軟體會依次嘗試各個波特率，找到後自動顯示。</translation>
    </message>
    <message>
        <source>6. 在"串口"中选择接UPS的串口，也可以直接输入串口名称，例如 /dev/ttyUSB0。</source>
        <translation>6. 在"串口"中選擇接UPS的串口，也可以直接輸入串口名稱，例如 /dev/ttyUSB0。</translation>
    </message>
    <message>
        <source>7. 按"连接"开始通讯，状态栏显示"UPS已连接"表示通讯正常；按"断开"结束通讯。</source>
        <translation>7. 按"連接"開始通訊，狀態列顯示"UPS已連接"表示通訊正常；按"斷開"結束通訊。</translation>
    </message>
    <message>
        <source>8. 左侧的"旁路数据"、"主路数据"、"输出数据"、"电池数据"页显示实时数据，"整机状态"和"单元状态"页显示整机及各功率单元的状态。</source>
        <translation>8. 左側的"旁路數據"、"主路數據"、"輸出數據"、"電池數據"頁顯示即時數據，"整機狀態"和"單元狀態"頁顯示整機及各功率單元的狀態。</translation>
    </message>
    <message>
        <source>9. "记录下载"和"维护代码"页下载并保存UPS的历史记录和维护代码；"额定设置"、"用服设置"等页须输入密码后才能查看和修改UPS的设置。</source>
        <translation>9. "記錄下載"和"維護代碼"頁下載並保存UPS的歷史記錄和維護代碼；"額定設置"、"用服設置"等頁須輸入密碼後才能查看和修改UPS的設置。</translation>
    </message>
    <message>
        <source>10. 出厂密码见随机的使用说明书。点击窗口右上角的设置按钮（或托盘菜单的"软件设置"），输入旧密码和两次新密码即可设置您自己的密码。</source>
        <translation>10. 出廠密碼見隨附的使用說明書。點擊視窗右上角的設置按鈕（或托盤選單的"軟體設置"），輸入舊密碼和兩次新密碼即可設置您自己的密碼。</translation>
    </message>
</context>
<context>
    <name>LockPanel</name>
    <message>
        <source>密码</source>
        <translation>密碼</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>確定</translation>
    </message>
</context>
</TS>
