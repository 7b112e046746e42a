// The component model every window, control and non-visual component of the
// program is built on: ownership (owned components die with their owner),
// names, and the properties a stored window description sets.
//
// A class offers its properties by overriding DeclareProperties (published
// properties, in the order the description stores them; call the base class
// first) and, for extra properties that are not published but still travel
// in the description (a file source's "FileData"), DefineProperties.
#pragma once

#include <any>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <utility>
#include <vector>

class TComponent;

// A plain notification: "something happened to Sender".
using TNotifyEvent = std::function<void(TComponent* sender)>;

enum class PropertyKind : std::uint8_t {
  Boolean,
  Integer,  // 32-bit signed
  String,   // 8-bit text
  Enum,     // one of Symbols, as its ordinal
  Set,      // members of Symbols, member n as bit n
  Strings,  // a list of lines
  Binary,   // raw bytes of any length
  Event,    // bound to a handler of the description's root, by handler name
};

// One property as a component offers it to the description reader and writer.
// Only the accessors of its Kind are set: Boolean uses the Bool pair; Integer,
// Enum and Set use the Int pair (ordinal or bit mask); String the String pair;
// Strings the Lines pair; Binary the Bytes pair; Event only BindHandler.
struct PropertyInfo {
  std::string Name;
  PropertyKind Kind = PropertyKind::Integer;
  bool Published = true;
  std::vector<std::string> Symbols;
  std::function<bool()> IsStored;  // unset: always stored

  std::function<bool()> GetBool;
  std::function<void(bool)> SetBool;
  std::function<std::int32_t()> GetInt;
  std::function<void(std::int32_t)> SetInt;
  std::function<std::string()> GetString;
  std::function<void(const std::string&)> SetString;
  std::function<std::vector<std::string>()> GetLines;
  std::function<void(const std::vector<std::string>&)> SetLines;
  std::function<std::vector<std::uint8_t>()> GetBytes;
  std::function<void(std::span<const std::uint8_t>)> SetBytes;
  // Takes the handler as the root registered it; throws Exception when the
  // handler's type does not fit the event.
  std::function<void(const std::any& handler)> BindHandler;
};

// The properties of one component, in declaration order.
class PropertyTable {
 public:
  void Boolean(std::string name, std::function<bool()> get, std::function<void(bool)> set);
  void Integer(std::string name, std::function<std::int32_t()> get,
               std::function<void(std::int32_t)> set);
  void String(std::string name, std::function<std::string()> get,
              std::function<void(const std::string&)> set);
  void Enum(std::string name, std::vector<std::string> symbols,
            std::function<std::int32_t()> get, std::function<void(std::int32_t)> set);
  void Set(std::string name, std::vector<std::string> symbols,
           std::function<std::int32_t()> get, std::function<void(std::int32_t)> set);
  void Strings(std::string name, std::function<std::vector<std::string>()> get,
               std::function<void(const std::vector<std::string>&)> set);
  void Binary(std::string name, std::function<std::vector<std::uint8_t>()> get,
              std::function<void(std::span<const std::uint8_t>)> set);

  // An event of handler type Handler (TNotifyEvent or an event type of the
  // component's own); bind receives the handler the root registered.
  template <class Handler>
  void Event(std::string name, std::function<void(const Handler&)> bind);

  // Marks the property declared last as stored only while stored() is true.
  void StoredWhen(std::function<bool()> stored);

  const PropertyInfo* Find(const std::string& name) const;
  const std::vector<PropertyInfo>& All() const { return properties_; }

  // Properties added from now on are extra ones, not published.
  void BeginExtra() { published_ = false; }

 private:
  PropertyInfo& Add(std::string name, PropertyKind kind);
  [[noreturn]] static void ThrowHandlerMismatch(const std::string& event);

  std::vector<PropertyInfo> properties_;
  bool published_ = true;
};

class TComponent {
 public:
  // The new component is owned by owner (when given), which destroys it.
  explicit TComponent(TComponent* owner);
  virtual ~TComponent();
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  TComponent* Owner() const { return owner_; }
  const std::string& Name() const { return name_; }
  void SetName(std::string name) { name_ = std::move(name); }
  std::int32_t Tag() const { return tag_; }
  void SetTag(std::int32_t tag) { tag_ = tag; }
  bool Loading() const { return loading_; }

  std::size_t ComponentCount() const { return components_.size(); }
  TComponent* Components(std::size_t index) const { return components_[index]; }
  // The owned component of that name (compared without regard to case), or null.
  TComponent* FindComponent(const std::string& name) const;

  // The class name a description stores for this component ("TZipMaster").
  virtual std::string ClassName() const = 0;

  // All properties: published ones, then extra ones.
  PropertyTable Properties();

  // A description nests controls inside their parent control: the reader
  // calls this on a child with the object it is nested in.
  virtual void SetParentComponent(TComponent* parent);
  // The object this one is nested in when a description is written; null for
  // a component that sits directly under its owner (non-visual components).
  virtual TComponent* ParentComponent() const { return nullptr; }

  // Handler lookup for event bindings; a form overrides it with the handlers
  // it registered by name. Null when there is no such handler.
  virtual const std::any* FindHandler(const std::string& name) const;

  // The system window of a component that has one (a form, a windowed
  // control), created when it has none yet; null for every other component.
  // The zip component hands its owner's window to the unzip library.
  virtual void* WindowHandle() { return nullptr; }

  // Reading a description: BeginLoading before the first property is set,
  // Loaded once every component of the description is complete.
  void BeginLoading() { loading_ = true; }
  virtual void Loaded() { loading_ = false; }

  // The handler name a description bound to the event property named event,
  // so that writing the description stores it again; null when none was.
  const std::string* BoundHandlerName(const std::string& event) const;
  void SetBoundHandlerName(const std::string& event, std::string handler);

 protected:
  virtual void DeclareProperties(PropertyTable& table);
  virtual void DefineProperties(PropertyTable& table);

 private:
  void InsertComponent(TComponent* component);
  void RemoveComponent(TComponent* component);

  TComponent* owner_;
  std::string name_;
  std::int32_t tag_ = 0;
  bool loading_ = false;
  std::vector<TComponent*> components_;
  std::vector<std::pair<std::string, std::string>> boundHandlers_;  // event, handler
};

// Classes a description may name, with the factory that creates one for an
// owner. Each module registers its classes once at start-up; an unknown class
// name in a description is an error.
using ComponentFactory = std::function<TComponent*(TComponent* owner)>;
void RegisterComponentClass(const std::string& className, ComponentFactory factory);
// The factory of className, or null.
const ComponentFactory* FindComponentClass(const std::string& className);

template <class Handler>
void PropertyTable::Event(std::string name, std::function<void(const Handler&)> bind) {
  PropertyInfo& info = Add(std::move(name), PropertyKind::Event);
  info.BindHandler = [bind = std::move(bind), event = info.Name](const std::any& handler) {
    const Handler* typed = std::any_cast<Handler>(&handler);
    if (typed == nullptr) ThrowHandlerMismatch(event);
    bind(*typed);
  };
}
