// Ownership and lookup in the component model.
#include <gtest/gtest.h>

#include "component/Component.h"

namespace {

class TCounted : public TComponent {
 public:
  TCounted(TComponent* owner, int& destroyed) : TComponent(owner), destroyed_(destroyed) {}
  ~TCounted() override { ++destroyed_; }
  std::string ClassName() const override { return "TCounted"; }

 private:
  int& destroyed_;
};

TEST(ComponentTest, OwnerDestroysEveryOwnedComponentAndTheirOwnedOnes) {
  int destroyed = 0;
  auto* owner = new TCounted(nullptr, destroyed);
  auto* child = new TCounted(owner, destroyed);
  new TCounted(child, destroyed);
  new TCounted(owner, destroyed);
  EXPECT_EQ(owner->ComponentCount(), 2u);
  delete owner;
  EXPECT_EQ(destroyed, 4);
}

TEST(ComponentTest, ComponentDeletedEarlyLeavesItsOwnersList) {
  int destroyed = 0;
  TCounted owner(nullptr, destroyed);
  auto* first = new TCounted(&owner, destroyed);
  auto* second = new TCounted(&owner, destroyed);
  first->SetName("First");
  delete first;
  ASSERT_EQ(owner.ComponentCount(), 1u);
  EXPECT_EQ(owner.Components(0), second);
  EXPECT_EQ(owner.FindComponent("First"), nullptr);
  EXPECT_EQ(destroyed, 1);
}

TEST(ComponentTest, FindComponentIgnoresCase) {
  int destroyed = 0;
  TCounted owner(nullptr, destroyed);
  auto* button = new TCounted(&owner, destroyed);
  button->SetName("b_Install");
  EXPECT_EQ(owner.FindComponent("B_INSTALL"), button);
  EXPECT_EQ(owner.FindComponent("b_install"), button);
  EXPECT_EQ(owner.FindComponent("b_Installer"), nullptr);
}

TEST(ComponentTest, PropertyLookupIgnoresCase) {
  int destroyed = 0;
  TCounted component(nullptr, destroyed);
  PropertyTable table = component.Properties();
  ASSERT_NE(table.Find("TAG"), nullptr);
  EXPECT_EQ(table.Find("tag")->Name, "Tag");
  EXPECT_EQ(table.Find("Tags"), nullptr);
}

TEST(ComponentTest, BoundHandlerNamesAreKeptPerEventWithoutRegardToCase) {
  int destroyed = 0;
  TCounted component(nullptr, destroyed);
  EXPECT_EQ(component.BoundHandlerName("OnClick"), nullptr);
  component.SetBoundHandlerName("OnClick", "FirstClick");
  component.SetBoundHandlerName("onclick", "SecondClick");
  ASSERT_NE(component.BoundHandlerName("ONCLICK"), nullptr);
  EXPECT_EQ(*component.BoundHandlerName("OnClick"), "SecondClick");
}

}  // namespace
