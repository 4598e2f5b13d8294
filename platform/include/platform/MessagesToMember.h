// A window object of the framework (Base: CWindow or CControl) whose messages go to a member function
// of the object that owns it, for an object with more than one window of its own: the owner's handler
// is its message map for that window.
#pragma once

#include <windows.h>

template <typename Base, typename Owner, bool (Owner::*Handler)(UINT, WPARAM, LPARAM, LRESULT&)>
class CMessagesToMember : public Base {
public:
    explicit CMessagesToMember(Owner& owner) : m_owner(owner) {}

protected:
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
        return (m_owner.*Handler)(message, wParam, lParam, result);
    }

private:
    Owner& m_owner;
};
