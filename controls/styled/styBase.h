// Bases of the styled layer: TStyObject for look objects and TStyCustomComponent for the
// non-visual components. Both notify through OnChange under a one-level update lock: one
// EndUpdate ends any number of BeginUpdate calls.
#pragma once

#include <string>

#include "platform/vcl/component.h"
#include "platform/vcl/controls.h"

class TStyFiler;

class TStyObject : public TPersistent {
public:
    TStyObject() = default;
    std::string ClassName() const override { return "TStyObject"; }

    TNotifyEvent OnChange;

    // Fires OnChange unless locked.
    virtual void Change();
    // Hung on the OnChange of owned look objects so that their changes propagate upward.
    virtual void SubObjectChanged(TObject* sender);
    virtual std::string GetDescription() const { return ""; }
    // Copies another look object's settings; the base accepts none (EConvertError).
    virtual void Assign(const TPersistent* source);
    // Stored properties beyond the published ones; none in the base.
    virtual void DefineProperties(TStyFiler&) {}

    void BeginUpdate() { locked_ = true; }
    void EndUpdate(bool notify);
    bool Locked() const { return locked_; }

protected:
    // Stores a changed value and notifies; an unchanged value fires nothing.
    template <class T>
    void SetProp(T& field, const T& value) {
        if (field == value) return;
        field = value;
        Change();
    }

private:
    bool locked_ = false;
};

class TStyCustomComponent : public TComponent {
public:
    explicit TStyCustomComponent(TComponent* owner) : TComponent(owner) {}
    std::string ClassName() const override { return "TStyCustomComponent"; }

    // The designer's "About" text: kept as read, it changes nothing.
    std::string About;
    TNotifyEvent OnChange;

    virtual void Change();
    virtual void SubObjectChanged(TObject* sender);
    // Stored properties beyond the published ones; none in the base.
    virtual void DefineProperties(TStyFiler&) {}
    void BeginUpdate() { locked_ = true; }
    void EndUpdate(bool notify);
    bool Locked() const { return locked_; }

    // This platform has no form designer: components are never in design state.
    bool Designing() const { return false; }

private:
    bool locked_ = false;
};

// Raised by Assign between look objects of unrelated classes.
void StyAssignError(const TPersistent* source, const TPersistent* dest);
