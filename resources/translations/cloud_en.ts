<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>Localizable</name>
    <message>
        <source>请检查网络</source>
        <translation>Please check your network connection</translation>
    </message>
    <message>
        <source>系统错误</source>
        <translation>System error</translation>
    </message>
</context>
</TS>
