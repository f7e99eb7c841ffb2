#pragma once

#include <QString>

#include <memory>

// The session's list of programs started at login.
class LoginItems
{
public:
    virtual ~LoginItems() = default;

    // Whether an item for `programPath` is in the list.
    virtual bool contains(const QString &programPath) const = 0;
    // Appends an item for `programPath`; true when an item was created.
    virtual bool insert(const QString &programPath) = 0;
    // Removes every item for `programPath`; true when the last removal
    // succeeded, false when none matched.
    virtual bool remove(const QString &programPath) = 0;

    static std::unique_ptr<LoginItems> create();
};
