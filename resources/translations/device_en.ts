<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>Localizable</name>
    <message>
        <source>请更新客户端</source>
        <translation>Please update the app</translation>
    </message>
    <message>
        <source>抱歉，我们检测到您未授权辅助功能权限，键盘模拟功能将不能使用！</source>
        <translation>Sorry, keystrokes cannot be simulated: this session does not allow it.</translation>
    </message>
    <message>
        <source>重新授权</source>
        <translation>Grant again</translation>
    </message>
    <message>
        <source>不使用</source>
        <translation>Don&apos;t use</translation>
    </message>
    <message>
        <source>请您在系统偏好设置-安全性与隐私-辅助功能权限中找到Travik Vazade并勾选进行授权</source>
        <translation>Run Travik Vazade in an X11 session whose display offers the XTest extension to let it type for you.</translation>
    </message>
</context>
</TS>
