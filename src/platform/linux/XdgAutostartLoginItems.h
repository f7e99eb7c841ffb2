#pragma once

#include "platform/LoginItems.h"

// Start at login through XDG autostart: one .desktop entry per item in
// $XDG_CONFIG_HOME/autostart (~/.config/autostart).
class XdgAutostartLoginItems : public LoginItems
{
public:
    explicit XdgAutostartLoginItems(const QString &autostartDir = QString());

    bool contains(const QString &programPath) const override;
    bool insert(const QString &programPath) override;
    bool remove(const QString &programPath) override;

    QString autostartDir() const;
    // The program an entry starts: the first word of its Exec= line, with the
    // desktop-entry quoting removed; empty when there is none.
    static QString programOfEntry(const QString &entryPath);

private:
    QStringList entriesFor(const QString &programPath) const;
    QString m_dir;
};
