// Free notification: a component that asked to hear of another's removal is told, whoever
// owns the two, whichever of the two goes first, and only once.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "platform/vcl/component.h"

namespace {

// Keeps a reference to another component and drops it when told of its removal.
struct Referrer : TComponent {
    using TComponent::TComponent;
    TComponent* ref = nullptr;
    std::vector<TComponent*> removed;
    void Notification(TComponent* c, TOperation op) override {
        TComponent::Notification(c, op);
        if (op != opRemove) return;
        removed.push_back(c);
        if (c == ref) ref = nullptr;
    }
    void Refer(TComponent* c) {
        ref = c;
        if (c) c->FreeNotification(this);
    }
};

}  // namespace

TEST(FreeNotification, TheRemovalIsToldWhoeverOwnsTheTwo) {
    struct Row {
        const char* name;
        bool sameOwner;  // both on one owner, or each on its own
        bool ownerless;  // the referred component has no owner at all
    };
    for (const Row& row : {Row{"other owner", false, false}, Row{"same owner", true, false},
                           Row{"no owner", false, true}}) {
        SCOPED_TRACE(row.name);
        TComponent formA(nullptr), formB(nullptr);
        auto* referrer = new Referrer(&formA);
        TComponent* target = row.ownerless ? new TComponent(nullptr)
                                           : new TComponent(row.sameOwner ? &formA : &formB);
        referrer->Refer(target);
        delete target;
        EXPECT_EQ(referrer->ref, nullptr);
        // Told once: by the free notification, and by the owner only when it is the same.
        int told = 0;
        for (TComponent* c : referrer->removed) told += c == target;
        EXPECT_EQ(told, row.sameOwner ? 2 : 1);
    }
}

TEST(FreeNotification, TheReferrerGoingFirstLeavesNothingBehind) {
    TComponent formA(nullptr), formB(nullptr);
    auto* target = new TComponent(&formB);
    auto* referrer = new Referrer(&formA);
    referrer->Refer(target);
    delete referrer;  // the target must not tell a component that is gone (ASan watches)
    delete target;
    SUCCEED();
}

TEST(FreeNotification, RemovedRequestsAreNotToldAndBothWaysAreDropped) {
    TComponent formA(nullptr), formB(nullptr);
    auto* target = new TComponent(&formB);
    auto* referrer = new Referrer(&formA);
    referrer->Refer(target);
    referrer->Refer(target);  // asking twice keeps one request
    referrer->RemoveFreeNotification(target);
    delete target;
    EXPECT_TRUE(referrer->removed.empty());
    EXPECT_NE(referrer->ref, nullptr);  // nobody told it: the reference is its own business
    referrer->ref = nullptr;
    // The request holds both ways: the referrer going tells the target too.
    auto* other = new Referrer(&formB);
    auto* watched = new Referrer(&formA);
    other->Refer(watched);
    delete other;
    EXPECT_EQ(watched->removed.size(), 1u);
    delete watched;
}

TEST(FreeNotification, AnOwnerGoingTellsTheReferrersOfEachOfItsComponents) {
    auto formA = std::make_unique<TComponent>(nullptr);
    auto formB = std::make_unique<TComponent>(nullptr);
    auto* t1 = new TComponent(formB.get());
    auto* t2 = new TComponent(formB.get());
    auto* r1 = new Referrer(formA.get());
    auto* r2 = new Referrer(formA.get());
    r1->Refer(t1);
    r2->Refer(t2);
    formB.reset();
    EXPECT_EQ(r1->ref, nullptr);
    EXPECT_EQ(r2->ref, nullptr);
    // A component asking itself is no request.
    r1->FreeNotification(r1);
    formA.reset();
}

namespace {

// Two reference fields that may name one component, kept through ReferTo.
struct TwoReferences : TComponent {
    using TComponent::TComponent;
    TComponent* first = nullptr;
    TComponent* second = nullptr;
    int told = 0;
    void SetFirst(TComponent* c) { ReferTo(first, c); }
    void SetSecond(TComponent* c) { ReferTo(second, c); }
    void Notification(TComponent* c, TOperation op) override {
        TComponent::Notification(c, op);
        if (op != opRemove) return;
        told += c == first || c == second;
        if (c == first) ReferTo(first, nullptr);
        if (c == second) ReferTo(second, nullptr);
    }
};

}  // namespace

TEST(FreeNotification, EachReferenceCountsSoLettingOneGoKeepsTheOthers) {
    struct Row {
        const char* name;
        std::function<void(TwoReferences*, TComponent* target, TComponent* another)> change;
        int told;  // notifications the referrer gets when the target goes
    };
    const std::vector<Row> rows = {
        {"first cleared", [](TwoReferences* r, TComponent*, TComponent*) { r->SetFirst(nullptr); },
         1},
        {"second cleared",
         [](TwoReferences* r, TComponent*, TComponent*) { r->SetSecond(nullptr); }, 1},
        {"first moved on", [](TwoReferences* r, TComponent*, TComponent* a) { r->SetFirst(a); }, 1},
        {"a request withdrawn",
         [](TwoReferences* r, TComponent* t, TComponent*) { r->RemoveFreeNotification(t); }, 1},
        {"the same set again", [](TwoReferences* r, TComponent* t, TComponent*) { r->SetFirst(t); },
         1},
        {"both cleared",
         [](TwoReferences* r, TComponent*, TComponent*) {
             r->SetFirst(nullptr);
             r->SetSecond(nullptr);
         },
         0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TComponent formA(nullptr), formB(nullptr);
        auto* referrer = new TwoReferences(&formA);
        auto* target = new TComponent(&formB);
        auto* another = new TComponent(&formB);
        referrer->SetFirst(target);
        referrer->SetSecond(target);
        row.change(referrer, target, another);
        delete target;
        EXPECT_EQ(referrer->told, row.told);
        EXPECT_NE(referrer->first, target);
        EXPECT_NE(referrer->second, target);
        // The referrer going first leaves the other form nothing to tell (ASan watches).
        delete referrer;
    }
}
