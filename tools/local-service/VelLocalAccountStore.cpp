#include "VelLocalAccountStore.h"

#include "VelLocalDatabase.h"
#include "VelLocalRequestLog.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QPasswordDigestor>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSqlQuery>

namespace {

constexpr int kPbkdf2Iterations = 20000;

// "rc" values beyond those the app tells apart: it shows nothing for them, but
// the message says what was wrong.
enum Rc {
    kOk = 0,
    kNoAccount = 1,
    kBadCode = 2,
    kWrongPassword = 3,
    kMissingField = 4,
    kBadFormat = 5,
    kShortPassword = 6,
    kStorageError = 7,
};

bool isPhone(const QString &text)
{
    static const QRegularExpression pattern(QStringLiteral("^1\\d{10}$"));
    return pattern.match(text).hasMatch();
}

bool isEmail(const QString &text)
{
    static const QRegularExpression pattern(
        QStringLiteral("^[A-Z0-9a-z._%+-]+@[A-Za-z0-9.-]+\\.[A-Za-z]{2,4}$"));
    return pattern.match(text).hasMatch();
}

QString now()
{
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

VelLocalReply missing(const QString &field)
{
    return VelLocalReply::envelope(kMissingField, QStringLiteral("缺少参数：%1").arg(field));
}

}  // namespace

VelLocalAccountStore::VelLocalAccountStore(VelLocalDatabase *database)
    : m_database(database)
{
}

std::optional<VelLocalReply> VelLocalAccountStore::handle(const VelLocalRequest &request)
{
    const QString &path = request.path;
    if (path == QLatin1String("/api/recordLogin")) {
        // Two requests share this path: SMS-code log-in carries "phone" and
        // "code", password log-in carries "name" and "password".
        if (request.hasQueryKey(QStringLiteral("name")))
            return passwordLogin(request.queryValue(QStringLiteral("name")),
                                 request.queryValue(QStringLiteral("password")), false);
        return codeLogin(request.queryValue(QStringLiteral("phone")), request.queryValue(QStringLiteral("code")));
    }
    if (path == QLatin1String("/api/mailLogin"))
        return passwordLogin(request.queryValue(QStringLiteral("account")),
                             request.queryValue(QStringLiteral("password")), true);
    if (path == QLatin1String("/api/getLoginVerifyCode"))
        return smsCode(request.queryValue(QStringLiteral("phone")), request.queryValue(QStringLiteral("mark")));
    if (path == QLatin1String("/api/mailVerifyCode"))
        return mailCode(request.queryValue(QStringLiteral("account")));
    if (path == QLatin1String("/api/registerAndModifyPwd"))
        return registerOrReset(request);
    if (path == QLatin1String("/api/mailForgetPwd"))
        return mailReset(request.queryValue(QStringLiteral("account")), request.queryValue(QStringLiteral("code")),
                         request.queryValue(QStringLiteral("password")));
    return std::nullopt;
}

VelLocalReply VelLocalAccountStore::passwordLogin(const QString &name, const QString &password, bool byEmail)
{
    if (name.isEmpty())
        return missing(byEmail ? QStringLiteral("account") : QStringLiteral("name"));
    if (password.isEmpty())
        return missing(QStringLiteral("password"));
    const std::optional<User> user = findUser(name);
    if (!user)
        return VelLocalReply::envelope(kNoAccount, QStringLiteral("账号不存在，请先注册！"));
    if (digest(password, user->salt) != user->hash)
        return VelLocalReply::envelope(kWrongPassword, QStringLiteral("密码错误"));
    return VelLocalReply::envelope(kOk, QStringLiteral("登录成功"), userJson(*user));
}

VelLocalReply VelLocalAccountStore::codeLogin(const QString &phone, const QString &code)
{
    if (phone.isEmpty())
        return missing(QStringLiteral("phone"));
    if (code.isEmpty())
        return missing(QStringLiteral("code"));
    const std::optional<User> user = findUser(phone);
    if (!user)
        return VelLocalReply::envelope(kNoAccount, QStringLiteral("账号不存在，请先注册！"));
    if (!takeCode(phone, code))
        return VelLocalReply::envelope(kBadCode, QStringLiteral("验证码已失效"));
    return VelLocalReply::envelope(kOk, QStringLiteral("登录成功"), userJson(*user));
}

VelLocalReply VelLocalAccountStore::smsCode(const QString &phone, const QString &mark)
{
    if (phone.isEmpty())
        return missing(QStringLiteral("phone"));
    if (!isPhone(phone))
        return VelLocalReply::envelope(kBadFormat, QStringLiteral("请输入正确的手机号码"));
    const bool registered = findUser(phone).has_value();
    // "update" asks for a code to log in or reset with: the number must be
    // registered. Without it the code is for registering: it must not be.
    if (mark == QLatin1String("update") && !registered)
        return VelLocalReply::envelope(1, QStringLiteral("此用户未注册,请先注册"));
    if (mark != QLatin1String("update") && registered)
        return VelLocalReply::envelope(1, QStringLiteral("此账号已存在，请登录！"));
    issueCode(phone, 4);
    return VelLocalReply::envelope(kOk, QStringLiteral("验证码已发送"));
}

VelLocalReply VelLocalAccountStore::mailCode(const QString &account)
{
    if (account.isEmpty())
        return missing(QStringLiteral("account"));
    if (!isEmail(account))
        return VelLocalReply::envelope(kBadFormat, QStringLiteral("邮箱地址不正确"));
    // The same request serves registering and resetting by e-mail, so the code
    // is sent whether or not the address has an account.
    issueCode(account, 6);
    return VelLocalReply::envelope(kOk, QStringLiteral("验证码已发送"));
}

VelLocalReply VelLocalAccountStore::registerOrReset(const VelLocalRequest &request)
{
    const QString phone = request.queryValue(QStringLiteral("phone"));
    const QString account = request.queryValue(QStringLiteral("account"));
    const QString password = request.queryValue(QStringLiteral("password"));
    const QString code = request.queryValue(QStringLiteral("code"));
    const bool reset = request.queryValue(QStringLiteral("mark")) == QLatin1String("updatePwd");
    const bool byPhone = !phone.isEmpty();
    const QString target = byPhone ? phone : account;
    const QString badCode = byPhone ? QStringLiteral("验证码已失效") : QStringLiteral("验证码无效或为空!");

    if (target.isEmpty())
        return missing(QStringLiteral("phone / account"));
    if (byPhone ? !isPhone(phone) : !isEmail(account))
        return VelLocalReply::envelope(kBadFormat, byPhone ? QStringLiteral("请输入正确的手机号码")
                                                           : QStringLiteral("邮箱地址不正确"));
    if (password.size() < 6)
        return VelLocalReply::envelope(kShortPassword, QStringLiteral("密码长度不少于6位数"));

    const std::optional<User> existing = findUser(target);
    if (reset) {
        if (!existing)
            return VelLocalReply::envelope(kNoAccount, QStringLiteral("账号不存在，请先注册！"));
        if (!takeCode(target, code))
            return VelLocalReply::envelope(kBadCode, badCode);
        setPassword(existing->id, password);
        return VelLocalReply::envelope(kOk, QStringLiteral("密码已经重置，请登录。"));
    }
    if (existing)
        return VelLocalReply::envelope(3, QStringLiteral("此账号已存在，请登录！"));
    if (!takeCode(target, code))
        return VelLocalReply::envelope(kBadCode, badCode);
    const std::optional<User> created =
        createUser(byPhone ? phone : QString(), byPhone ? QString() : account, password);
    if (!created)
        return VelLocalReply::envelope(kStorageError, QStringLiteral("注册失败，请稍后再试"));
    return VelLocalReply::envelope(kOk, QStringLiteral("注册成功"), userJson(*created));
}

VelLocalReply VelLocalAccountStore::mailReset(const QString &account, const QString &code, const QString &password)
{
    if (account.isEmpty())
        return missing(QStringLiteral("account"));
    if (password.size() < 6)
        return VelLocalReply::envelope(kShortPassword, QStringLiteral("密码长度不少于6位数"));
    const std::optional<User> existing = findUser(account);
    if (!existing)
        return VelLocalReply::envelope(kNoAccount, QStringLiteral("账号不存在，请先注册！"));
    if (!takeCode(account, code))
        return VelLocalReply::envelope(kBadCode, QStringLiteral("验证码无效或为空!"));
    setPassword(existing->id, password);
    return VelLocalReply::envelope(kOk, QStringLiteral("密码重置成功，请重新登录。"));
}

std::optional<VelLocalAccountStore::User> VelLocalAccountStore::findUser(const QString &phoneOrEmail) const
{
    if (phoneOrEmail.isEmpty())
        return std::nullopt;
    QSqlQuery query(m_database->db());
    query.prepare(QStringLiteral("SELECT id, phone, email, salt, hash, nick_name, create_time, update_time "
                                 "FROM users WHERE phone = ? OR email = ?"));
    query.addBindValue(phoneOrEmail);
    query.addBindValue(phoneOrEmail);
    if (!query.exec() || !query.next())
        return std::nullopt;
    User user;
    user.id = query.value(0).toLongLong();
    user.phone = query.value(1).toString();
    user.email = query.value(2).toString();
    user.salt = query.value(3).toByteArray();
    user.hash = query.value(4).toByteArray();
    user.nickName = query.value(5).toString();
    user.createTime = query.value(6).toString();
    user.updateTime = query.value(7).toString();
    return user;
}

std::optional<VelLocalAccountStore::User> VelLocalAccountStore::createUser(const QString &phone, const QString &email,
                                                                           const QString &password)
{
    QByteArray salt(16, Qt::Uninitialized);
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32 *>(salt.data()), salt.size() / 4);
    const QString time = now();
    QSqlQuery query(m_database->db());
    query.prepare(QStringLiteral("INSERT INTO users (phone, email, salt, hash, create_time, update_time) "
                                 "VALUES (?, ?, ?, ?, ?, ?)"));
    query.addBindValue(phone.isEmpty() ? QVariant() : phone);
    query.addBindValue(email.isEmpty() ? QVariant() : email);
    query.addBindValue(salt);
    query.addBindValue(digest(password, salt));
    query.addBindValue(time);
    query.addBindValue(time);
    if (!query.exec())
        return std::nullopt;
    VelLocalRequestLog::line(QStringLiteral("account registered: %1").arg(phone.isEmpty() ? email : phone));
    return findUser(phone.isEmpty() ? email : phone);
}

void VelLocalAccountStore::setPassword(qint64 userId, const QString &password)
{
    QByteArray salt(16, Qt::Uninitialized);
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32 *>(salt.data()), salt.size() / 4);
    QSqlQuery query(m_database->db());
    query.prepare(QStringLiteral("UPDATE users SET salt = ?, hash = ?, update_time = ? WHERE id = ?"));
    query.addBindValue(salt);
    query.addBindValue(digest(password, salt));
    query.addBindValue(now());
    query.addBindValue(userId);
    query.exec();
}

QString VelLocalAccountStore::issueCode(const QString &target, int digits)
{
    const quint32 limit = digits == 6 ? 1000000 : 10000;
    const QString code = QStringLiteral("%1").arg(QRandomGenerator::system()->bounded(limit), digits, 10, QLatin1Char('0'));
    QSqlQuery query(m_database->db());
    query.prepare(QStringLiteral("INSERT OR REPLACE INTO codes (target, code, issued_at, used) VALUES (?, ?, ?, 0)"));
    query.addBindValue(target);
    query.addBindValue(code);
    query.addBindValue(QDateTime::currentSecsSinceEpoch());
    query.exec();
    VelLocalRequestLog::line(QStringLiteral("verification code for %1: %2 (valid 5 minutes)").arg(target, code));
    return code;
}

bool VelLocalAccountStore::takeCode(const QString &target, const QString &code)
{
    if (code.isEmpty())
        return false;
    QSqlQuery query(m_database->db());
    query.prepare(QStringLiteral("SELECT code, issued_at, used FROM codes WHERE target = ?"));
    query.addBindValue(target);
    if (!query.exec() || !query.next())
        return false;
    const bool fresh = QDateTime::currentSecsSinceEpoch() - query.value(1).toLongLong() <= kCodeLifetimeSeconds;
    if (query.value(0).toString() != code || query.value(2).toInt() != 0 || !fresh)
        return false;
    QSqlQuery use(m_database->db());
    use.prepare(QStringLiteral("UPDATE codes SET used = 1 WHERE target = ?"));
    use.addBindValue(target);
    return use.exec();
}

QJsonObject VelLocalAccountStore::lastCode(const QString &target) const
{
    QSqlQuery query(m_database->db());
    query.prepare(QStringLiteral("SELECT code, issued_at, used FROM codes WHERE target = ?"));
    query.addBindValue(target);
    if (!query.exec() || !query.next())
        return {};
    return QJsonObject{{QStringLiteral("target"), target},
                       {QStringLiteral("code"), query.value(0).toString()},
                       {QStringLiteral("issuedAt"), query.value(1).toLongLong()},
                       {QStringLiteral("used"), query.value(2).toInt() != 0}};
}

QByteArray VelLocalAccountStore::digest(const QString &password, const QByteArray &salt)
{
    return QPasswordDigestor::deriveKeyPbkdf2(QCryptographicHash::Sha256, password.toUtf8(), salt,
                                              kPbkdf2Iterations, 32);
}

QJsonObject VelLocalAccountStore::userJson(const User &user)
{
    const QString name = user.phone.isEmpty() ? user.email : user.phone;
    return QJsonObject{
        {QStringLiteral("id"), user.id},
        {QStringLiteral("age"), QString()},
        {QStringLiteral("create_time"), user.createTime},
        {QStringLiteral("imei"), QString()},
        {QStringLiteral("imsi"), QString()},
        {QStringLiteral("name"), name},
        // The password is never sent back; the service does not have it.
        {QStringLiteral("password"), QString()},
        {QStringLiteral("phone"), user.phone},
        {QStringLiteral("account"), user.email.isEmpty() ? user.phone : user.email},
        {QStringLiteral("pic"), QString()},
        {QStringLiteral("sex"), 0},
        {QStringLiteral("status"), QStringLiteral("1")},
        {QStringLiteral("update_time"), user.updateTime},
        {QStringLiteral("nick_name"), user.nickName},
        {QStringLiteral("address"), QString()},
        {QStringLiteral("serviceType"), 0},
        {QStringLiteral("asrServiceTime"), QString()},
        {QStringLiteral("svipServiceTime"), QString()},
    };
}
