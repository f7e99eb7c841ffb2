#pragma once

// The update checker. For now it only carries the "mandatory update" flag that
// the mouse report manager reads before it delivers a key event; the check
// itself sets it.
class checkUpdateUtil
{
public:
    static checkUpdateUtil &sharedcheckUpdateUtil();
    virtual ~checkUpdateUtil() = default;

    // Not persisted: holds until a later check sets it again.
    bool mustToUpdate() const { return m_mustToUpdate; }
    void setMustToUpdate(bool must) { m_mustToUpdate = must; }

protected:
    checkUpdateUtil() = default;

private:
    bool m_mustToUpdate = false;
};
