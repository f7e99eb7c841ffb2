<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>Localizable</name>
    <message>
        <source>请您在系统偏好设置-安全性与隐私-辅助功能权限中找到Travik Vazade并勾选进行授权</source>
        <translation>请在提供 XTest 扩展的 X11 会话中运行 Travik Vazade，以便它为您模拟键盘输入</translation>
    </message>
</context>
</TS>
