// Static records that give a control id (or a dialog resource id) extra data for binding.
// A dialog takes a null-terminated array of pointers to them; the first match wins.
#pragma once

// How a control follows the growth of the dialog's client area; 0 = fixed.
enum AnchorFlags : int {
    AnchorMoveDown = 1,
    AnchorGrowHeight = 2,
    AnchorMoveRight = 4,
    AnchorGrowWidth = 8,
};

class ControlDescriptor {
public:
    virtual bool hasId(int id) const;      // true when id equals the stored id
    virtual bool isKind(int kind) const;   // true when kind equals the stored kind
    virtual int anchor() const;            // the stored anchor flags

    int id() const { return id_; }
    int kind() const { return kind_; }

    // First descriptor of a null-terminated list whose hasId(id) is true; null when none or
    // when the list is null.
    static const ControlDescriptor* find(const ControlDescriptor* const* list, int id);
    // The static empty list that stands in for a dialog created without one.
    static const ControlDescriptor* const* emptyList();

protected:
    ControlDescriptor(int id, int kind, int anchor) : id_(id), kind_(kind), anchor_(anchor) {}
    ControlDescriptor(const ControlDescriptor&) = default;
    ControlDescriptor& operator=(const ControlDescriptor&) = default;
    ~ControlDescriptor() = default;  // static objects, never deleted through the base

private:
    int id_;
    int kind_;
    int anchor_;
};
