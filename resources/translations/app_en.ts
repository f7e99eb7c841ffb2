<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>Localizable</name>
    <message>
        <source>打开 Travik Vazade</source>
        <translation>Open Travik Vazade</translation>
    </message>
    <message>
        <source>退出 Travik Vazade</source>
        <translation>Quit Travik Vazade</translation>
    </message>
    <message>
        <source>欢迎使用 Travik Vazade</source>
        <translation>Welcome to Travik Vazade</translation>
    </message>
    <message>
        <source>普通话</source>
        <translation>Mandarin</translation>
    </message>
    <message>
        <source>英语</source>
        <translation>English</translation>
    </message>
    <message>
        <source>不翻译</source>
        <translation>No translation</translation>
    </message>
    <message>
        <source>简体中文</source>
        <translation>Simplified Chinese</translation>
    </message>
    <message>
        <source>英文</source>
        <translation>English</translation>
    </message>
    <message>
        <source>大</source>
        <translation>Large</translation>
    </message>
    <message>
        <source>中</source>
        <translation>Medium</translation>
    </message>
    <message>
        <source>小</source>
        <translation>Small</translation>
    </message>
    <message>
        <source>百度</source>
        <translation>Baidu</translation>
    </message>
    <message>
        <source>谷歌</source>
        <translation>Google</translation>
    </message>
    <message>
        <source>FS飞鼠</source>
        <translation>Air mouse</translation>
    </message>
    <message>
        <source>FS数码光</source>
        <translation>Digital laser</translation>
    </message>
    <message>
        <source>FS聚光灯</source>
        <translation>Spotlight</translation>
    </message>
    <message>
        <source>FS放大镜</source>
        <translation>Magnifier</translation>
    </message>
    <message>
        <source>FS语音打字</source>
        <translation>Voice typing</translation>
    </message>
    <message>
        <source>FS语音翻译</source>
        <translation>Voice translation</translation>
    </message>
</context>
</TS>
