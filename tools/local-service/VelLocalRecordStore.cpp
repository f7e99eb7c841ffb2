#include "VelLocalRecordStore.h"

#include "VelLocalDatabase.h"
#include "VelMultipartParser.h"

#include <QDateTime>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QSqlQuery>
#include <QStringList>

namespace {

enum Rc { kOk = 0, kBadRequest = 1, kNoRecord = 2, kStorageError = 7 };

// The record fields the app sends and reads back, in table order.
const QStringList &recordFields()
{
    static const QStringList fields{
        QStringLiteral("userid"), QStringLiteral("filename"), QStringLiteral("recordTitle"),
        QStringLiteral("content"), QStringLiteral("translatedText"), QStringLiteral("attr1"),
        QStringLiteral("attr2"), QStringLiteral("duration"), QStringLiteral("channalname"),
        QStringLiteral("productname")};
    return fields;
}

// Accepts an id given as a number or as decimal text.
std::optional<qint64> idValue(const QJsonValue &value)
{
    if (value.isDouble() && value.toDouble() == static_cast<double>(value.toInteger()))
        return value.toInteger();
    if (value.isString()) {
        bool ok = false;
        const qint64 id = value.toString().trimmed().toLongLong(&ok);
        if (ok)
            return id;
    }
    return std::nullopt;
}

QString randomCode(int length)
{
    static const char alphabet[] = "ABCDEFGHJKLMNPQRSTUVWXYZabcdefghijkmnpqrstuvwxyz23456789";
    QString code;
    for (int i = 0; i < length; ++i)
        code.append(QLatin1Char(alphabet[QRandomGenerator::system()->bounded(int(sizeof(alphabet) - 1))]));
    return code;
}

}  // namespace

VelLocalRecordStore::VelLocalRecordStore(VelLocalDatabase *database, const QString &dataDir)
    : m_database(database)
    , m_dataDir(dataDir)
{
}

std::optional<VelLocalReply> VelLocalRecordStore::handle(const VelLocalRequest &request)
{
    if (request.path == QLatin1String("/api/editiorSaveRecord"))
        return saveRecord(request);
    if (request.path == QLatin1String("/api/getRecords"))
        return listRecords(request);
    if (request.path == QLatin1String("/api/deleteRecord"))
        return deleteRecord(request);
    if (request.path == QLatin1String("/api/generateRecordShareKey"))
        return shareRecord(request);
    if (request.path == QLatin1String("/api/addUserFeedback"))
        return addFeedback(request);
    return std::nullopt;
}

VelLocalReply VelLocalRecordStore::saveRecord(const VelLocalRequest &request)
{
    if (request.method != "POST")
        return VelLocalReply::envelope(kBadRequest, QStringLiteral("请使用 POST 发送录音"));
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(request.body, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return VelLocalReply::envelope(kBadRequest, QStringLiteral("请求体不是 JSON 对象"));
    const QJsonObject body = document.object();

    // Every field is text; numbers are taken as their decimal text.
    QList<QPair<QString, QString>> values;
    for (const QString &field : recordFields()) {
        if (!body.contains(field))
            continue;
        const QJsonValue value = body.value(field);
        if (value.isString())
            values.append({field, value.toString()});
        else if (value.isDouble())
            values.append({field, QString::number(value.toDouble(), 'g', 17)});
        else
            return VelLocalReply::envelope(kBadRequest, QStringLiteral("字段 %1 的类型不正确").arg(field));
    }

    QSqlQuery query(m_database->db());
    if (body.contains(QStringLiteral("id"))) {
        const std::optional<qint64> id = idValue(body.value(QStringLiteral("id")));
        if (!id)
            return VelLocalReply::envelope(kBadRequest, QStringLiteral("id 不是整数"));
        if (!record(*id))
            return VelLocalReply::envelope(kNoRecord, QStringLiteral("录音不存在"));
        for (const auto &value : values) {
            query.prepare(QStringLiteral("UPDATE records SET %1 = ? WHERE id = ?").arg(value.first));
            query.addBindValue(value.second);
            query.addBindValue(*id);
            if (!query.exec())
                return VelLocalReply::envelope(kStorageError, QStringLiteral("保存失败"));
        }
        return VelLocalReply::envelope(kOk, QStringLiteral("更新成功"), QJsonObject{{QStringLiteral("id"), *id}});
    }

    QStringList columns{QStringLiteral("createTime")};
    QStringList marks{QStringLiteral("?")};
    for (const auto &value : values) {
        columns.append(value.first);
        marks.append(QStringLiteral("?"));
    }
    query.prepare(QStringLiteral("INSERT INTO records (%1) VALUES (%2)").arg(columns.join(u','), marks.join(u',')));
    query.addBindValue(double(QDateTime::currentMSecsSinceEpoch()));
    for (const auto &value : values)
        query.addBindValue(value.second);
    if (!query.exec())
        return VelLocalReply::envelope(kStorageError, QStringLiteral("保存失败"));
    const qint64 id = query.lastInsertId().toLongLong();
    return VelLocalReply::envelope(kOk, QStringLiteral("保存成功"), QJsonObject{{QStringLiteral("id"), id}});
}

std::optional<QJsonObject> VelLocalRecordStore::record(qint64 id) const
{
    QSqlQuery query(m_database->db());
    query.prepare(QStringLiteral("SELECT id, createTime, %1 FROM records WHERE id = ?").arg(recordFields().join(u',')));
    query.addBindValue(id);
    if (!query.exec() || !query.next())
        return std::nullopt;
    QJsonObject object{{QStringLiteral("id"), query.value(0).toLongLong()},
                       {QStringLiteral("createTime"), query.value(1).toDouble()}};
    for (int i = 0; i < recordFields().size(); ++i) {
        if (!query.isNull(i + 2))
            object.insert(recordFields().at(i), query.value(i + 2).toString());
    }
    return object;
}

VelLocalReply VelLocalRecordStore::listRecords(const VelLocalRequest &request)
{
    const QString userId = request.queryValue(QStringLiteral("userid"));
    if (userId.isEmpty())
        return VelLocalReply::envelope(kBadRequest, QStringLiteral("缺少参数：userid"));
    QSqlQuery query(m_database->db());
    query.prepare(QStringLiteral("SELECT id FROM records WHERE userid = ? ORDER BY id"));
    query.addBindValue(userId);
    if (!query.exec())
        return VelLocalReply::envelope(kStorageError, QStringLiteral("读取失败"));
    QJsonArray records;
    while (query.next()) {
        if (const auto found = record(query.value(0).toLongLong()))
            records.append(*found);
    }
    return VelLocalReply::envelope(kOk, QStringLiteral("成功"), records);
}

VelLocalReply VelLocalRecordStore::deleteRecord(const VelLocalRequest &request)
{
    const std::optional<qint64> id = idValue(request.queryValue(QStringLiteral("id")));
    if (!id)
        return VelLocalReply::envelope(kBadRequest, QStringLiteral("缺少参数：id"));
    QSqlQuery query(m_database->db());
    query.prepare(QStringLiteral("DELETE FROM records WHERE id = ?"));
    query.addBindValue(*id);
    if (!query.exec())
        return VelLocalReply::envelope(kStorageError, QStringLiteral("删除失败"));
    if (query.numRowsAffected() == 0)
        return VelLocalReply::envelope(kNoRecord, QStringLiteral("录音不存在"));
    return VelLocalReply::envelope(kOk, QStringLiteral("删除成功"));
}

VelLocalReply VelLocalRecordStore::shareRecord(const VelLocalRequest &request)
{
    const QByteArray boundary = VelMultipartParser::boundaryFromContentType(request.header("content-type"));
    VelMultipartParser parser;
    if (!parser.parse(request.body, boundary))
        return VelLocalReply::envelope(kBadRequest, QStringLiteral("表单无法解析：%1").arg(parser.errorString()));
    const VelMultipartPart *idPart = parser.part(QStringLiteral("id"));
    std::optional<qint64> id = idPart ? idValue(QString::fromUtf8(idPart->data)) : std::nullopt;
    if (!id) {
        // The "items" part carries the same dictionary as JSON.
        if (const VelMultipartPart *items = parser.part(QStringLiteral("items")))
            id = idValue(QJsonDocument::fromJson(items->data).object().value(QStringLiteral("id")));
    }
    if (!id)
        return VelLocalReply::envelope(kBadRequest, QStringLiteral("缺少参数：id"));
    if (!record(*id))
        return VelLocalReply::envelope(kNoRecord, QStringLiteral("录音不存在"));

    QSqlQuery query(m_database->db());
    query.prepare(QStringLiteral("SELECT code FROM shares WHERE record_id = ?"));
    query.addBindValue(*id);
    if (query.exec() && query.next())
        return VelLocalReply::envelope(kOk, QStringLiteral("成功"), query.value(0).toString());
    const QString code = randomCode(10);
    query.prepare(QStringLiteral("INSERT INTO shares (code, record_id) VALUES (?, ?)"));
    query.addBindValue(code);
    query.addBindValue(*id);
    if (!query.exec())
        return VelLocalReply::envelope(kStorageError, QStringLiteral("生成分享码失败"));
    return VelLocalReply::envelope(kOk, QStringLiteral("成功"), code);
}

std::optional<QJsonObject> VelLocalRecordStore::recordForShareCode(const QString &code) const
{
    QSqlQuery query(m_database->db());
    query.prepare(QStringLiteral("SELECT record_id FROM shares WHERE code = ?"));
    query.addBindValue(code);
    if (!query.exec() || !query.next())
        return std::nullopt;
    return record(query.value(0).toLongLong());
}

VelLocalReply VelLocalRecordStore::addFeedback(const VelLocalRequest &request)
{
    if (request.method != "POST")
        return VelLocalReply::envelope(kBadRequest, QStringLiteral("请使用 POST 提交反馈"));
    const QByteArray boundary = VelMultipartParser::boundaryFromContentType(request.header("content-type"));
    VelMultipartParser parser;
    if (!parser.parse(request.body, boundary))
        return VelLocalReply::envelope(kBadRequest, QStringLiteral("表单无法解析：%1").arg(parser.errorString()));

    QJsonObject fields;
    const VelMultipartPart *log = nullptr;
    for (const VelMultipartPart &part : parser.parts()) {
        if (part.hasFileName)
            log = log ? log : &part;
        else
            fields.insert(part.name, QString::fromUtf8(part.data));
    }
    if (fields.value(QStringLiteral("content")).toString().isEmpty())
        return VelLocalReply::envelope(kBadRequest, QStringLiteral("缺少参数：content"));

    QSqlQuery query(m_database->db());
    query.prepare(QStringLiteral("INSERT INTO feedback (fields, received_at) VALUES (?, ?)"));
    query.addBindValue(QString::fromUtf8(QJsonDocument(fields).toJson(QJsonDocument::Compact)));
    query.addBindValue(QDateTime::currentSecsSinceEpoch());
    if (!query.exec())
        return VelLocalReply::envelope(kStorageError, QStringLiteral("保存失败"));
    const qint64 id = query.lastInsertId().toLongLong();

    if (log) {
        // Stored under our own name: the sender's file name is not trusted as a path.
        QDir(m_dataDir).mkpath(QStringLiteral("feedback"));
        const QString relative = QStringLiteral("feedback/%1.log").arg(id);
        QSaveFile file(QDir(m_dataDir).filePath(relative));
        if (!file.open(QIODevice::WriteOnly) || file.write(log->data) != log->data.size() || !file.commit())
            return VelLocalReply::envelope(kStorageError, QStringLiteral("日志文件保存失败"));
        query.prepare(QStringLiteral("UPDATE feedback SET log_file = ? WHERE id = ?"));
        query.addBindValue(relative);
        query.addBindValue(id);
        query.exec();
    }
    return VelLocalReply::envelope(kOk, QStringLiteral("提交成功"),
                                   QJsonObject{{QStringLiteral("id"), id}, {QStringLiteral("log"), log != nullptr}});
}
