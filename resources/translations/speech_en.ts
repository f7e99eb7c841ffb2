<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>Localizable</name>
    <message>
        <source>识别失败</source>
        <translation>Recognition failed</translation>
    </message>
</context>
</TS>
