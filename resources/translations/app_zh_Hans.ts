<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>Localizable</name>
    <message>
        <source>打开 Travik Vazade</source>
        <translation>打开 Travik Vazade</translation>
    </message>
    <message>
        <source>退出 Travik Vazade</source>
        <translation>退出 Travik Vazade</translation>
    </message>
    <message>
        <source>欢迎使用 Travik Vazade</source>
        <translation>欢迎使用 Travik Vazade</translation>
    </message>
    <message>
        <source>普通话</source>
        <translation>普通话</translation>
    </message>
    <message>
        <source>英语</source>
        <translation>英语</translation>
    </message>
    <message>
        <source>不翻译</source>
        <translation>不翻译</translation>
    </message>
    <message>
        <source>简体中文</source>
        <translation>简体中文</translation>
    </message>
    <message>
        <source>英文</source>
        <translation>英文</translation>
    </message>
    <message>
        <source>大</source>
        <translation>大</translation>
    </message>
    <message>
        <source>中</source>
        <translation>中</translation>
    </message>
    <message>
        <source>小</source>
        <translation>小</translation>
    </message>
    <message>
        <source>百度</source>
        <translation>百度</translation>
    </message>
    <message>
        <source>谷歌</source>
        <translation>谷歌</translation>
    </message>
    <message>
        <source>FS飞鼠</source>
        <translation>飞鼠</translation>
    </message>
    <message>
        <source>FS数码光</source>
        <translation>数码光</translation>
    </message>
    <message>
        <source>FS聚光灯</source>
        <translation>聚光灯</translation>
    </message>
    <message>
        <source>FS放大镜</source>
        <translation>放大镜</translation>
    </message>
    <message>
        <source>FS语音打字</source>
        <translation>语音打字</translation>
    </message>
    <message>
        <source>FS语音翻译</source>
        <translation>语音翻译</translation>
    </message>
</context>
</TS>
