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
#include <initializer_list>
#include <memory>
#include <new>
#include <span>
#include <string>
#include <type_traits>
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

// A property accessor: a small callable that copies as plain bytes (a lambda
// capturing `this` and perhaps one more pointer), called through one plain
// function pointer. Every component declares dozens of these each time its
// properties are listed, so they carry none of std::function's copy and
// destroy machinery (which costs code and unwind tables per lambda).
template <class Signature>
class Accessor;

template <class R, class... Args>
class Accessor<R(Args...)> {
 public:
  Accessor() = default;
  template <class F>
    requires(!std::is_same_v<std::decay_t<F>, Accessor> && std::is_invocable_r_v<R, const F&, Args...>)
  // Implicit on purpose: declarations pass lambdas straight in.
  Accessor(F callable) : invoke_(&Invoke<F>) {
    static_assert(std::is_trivially_copyable_v<F> && std::is_trivially_destructible_v<F>,
                  "an accessor holds only pointers and plain values");
    static_assert(sizeof(F) <= sizeof(storage_) && alignof(F) <= alignof(void*), "an accessor captures at most two pointers");
    ::new (static_cast<void*>(storage_)) F(callable);
  }

  R operator()(Args... args) const { return invoke_(storage_, std::forward<Args>(args)...); }
  explicit operator bool() const { return invoke_ != nullptr; }

 private:
  template <class F>
  static R Invoke(const unsigned char* storage, Args... args) {
    return (*std::launder(reinterpret_cast<const F*>(storage)))(std::forward<Args>(args)...);
  }

  alignas(void*) unsigned char storage_[2 * sizeof(void*)] = {};
  R (*invoke_)(const unsigned char*, Args...) = nullptr;
};

// The symbols of an enumeration or set property, in ordinal order.
using SymbolList = std::span<const char* const>;

// One property as a component offers it to the description reader and writer.
// Only the accessors of its Kind are set: Boolean uses the Bool pair; Integer,
// Enum and Set use the Int pair (ordinal or bit mask); String the String pair;
// Strings the Lines pair; Binary the Bytes pair; Event only BindHandler.
struct PropertyInfo {
  std::string Name;
  PropertyKind Kind = PropertyKind::Integer;
  bool Published = true;
  std::vector<std::string> Symbols;
  Accessor<bool()> IsStored;  // unset: always stored

  Accessor<bool()> GetBool;
  Accessor<void(bool)> SetBool;
  Accessor<std::int32_t()> GetInt;
  Accessor<void(std::int32_t)> SetInt;
  Accessor<std::string()> GetString;
  Accessor<void(const std::string&)> SetString;
  Accessor<std::vector<std::string>()> GetLines;
  Accessor<void(const std::vector<std::string>&)> SetLines;
  Accessor<std::vector<std::uint8_t>()> GetBytes;
  Accessor<void(std::span<const std::uint8_t>)> SetBytes;
  // Takes the handler as the root registered it; throws Exception when the
  // handler's type does not fit the event.
  Accessor<void(const std::any& handler)> BindHandler;
};

// Getters and stored-when rules serve only the description writer. The
// Windows builds only read descriptions and define
// TAV_DESCRIPTIONS_READ_ONLY: there the getters a component declares are
// dropped unused, so their code is never compiled in (in the setup program
// they would cost several kilobytes). The mode is a template argument, so a
// library built one way and a test built the other never share an
// instantiation.
struct WritableDescriptions {};
struct ReadOnlyDescriptions {};
#if defined(TAV_DESCRIPTIONS_READ_ONLY)
using DescriptionMode = ReadOnlyDescriptions;
#else
using DescriptionMode = WritableDescriptions;
#endif

// The properties of one component, in declaration order. Each declaration
// takes the property's getter and setter (callables fitting the Accessor
// signatures); in a read-only build the getter and stored-when rule are
// dropped and PropertyInfo's Get* and IsStored stay unset.
class PropertyTable {
 public:
  template <class GetF, class SetF, class Mode = DescriptionMode>
  void Boolean(const char* name, GetF get, SetF set) {
    AddBoolean(name, Getter<bool(), Mode>(get), set);
  }
  template <class GetF, class SetF, class Mode = DescriptionMode>
  void Integer(const char* name, GetF get, SetF set) {
    AddInteger(name, PropertyKind::Integer, {}, Getter<std::int32_t(), Mode>(get), set);
  }
  template <class GetF, class SetF, class Mode = DescriptionMode>
  void String(const char* name, GetF get, SetF set) {
    AddString(name, Getter<std::string(), Mode>(get), set);
  }
  template <class GetF, class SetF, class Mode = DescriptionMode>
  void Enum(const char* name, SymbolList symbols, GetF get, SetF set) {
    AddInteger(name, PropertyKind::Enum, symbols, Getter<std::int32_t(), Mode>(get), set);
  }
  template <class GetF, class SetF, class Mode = DescriptionMode>
  void Set(const char* name, SymbolList symbols, GetF get, SetF set) {
    AddInteger(name, PropertyKind::Set, symbols, Getter<std::int32_t(), Mode>(get), set);
  }
  template <class GetF, class SetF, class Mode = DescriptionMode>
  void Enum(const char* name, std::initializer_list<const char*> symbols, GetF get, SetF set) {
    Enum<GetF, SetF, Mode>(name, SymbolList(symbols.begin(), symbols.size()), get, set);
  }
  template <class GetF, class SetF, class Mode = DescriptionMode>
  void Set(const char* name, std::initializer_list<const char*> symbols, GetF get, SetF set) {
    this->Set<GetF, SetF, Mode>(name, SymbolList(symbols.begin(), symbols.size()), get, set);
  }
  template <class GetF, class SetF, class Mode = DescriptionMode>
  void Strings(const char* name, GetF get, SetF set) {
    AddStrings(name, Getter<std::vector<std::string>(), Mode>(get), set);
  }
  template <class GetF, class SetF, class Mode = DescriptionMode>
  void Binary(const char* name, GetF get, SetF set) {
    AddBinary(name, Getter<std::vector<std::uint8_t>(), Mode>(get), set);
  }

  // An event of handler type Handler (TNotifyEvent or an event type of the
  // component's own); bind, a lambda capturing at most one pointer, receives
  // the handler the root registered.
  template <class Handler, class Bind>
  void Event(const char* name, Bind bind);

  // Marks the property declared last as stored only while stored() is true.
  template <class Stored, class Mode = DescriptionMode>
  void StoredWhen(Stored stored) {
    properties_.back().IsStored = Getter<bool(), Mode>(stored);
  }

  const PropertyInfo* Find(const std::string& name) const;
  const std::vector<PropertyInfo>& All() const { return properties_; }

  // Properties added from now on are extra ones, not published.
  void BeginExtra() { published_ = false; }

 private:
  template <class Signature, class Mode, class GetF>
  static Accessor<Signature> Getter(const GetF& get) {
    if constexpr (std::is_same_v<Mode, ReadOnlyDescriptions>) {
      return {};
    } else {
      return Accessor<Signature>(get);
    }
  }

  PropertyInfo& Add(const char* name, PropertyKind kind);
  void AddBoolean(const char* name, Accessor<bool()> get, Accessor<void(bool)> set);
  void AddInteger(const char* name, PropertyKind kind, SymbolList symbols, Accessor<std::int32_t()> get,
                  Accessor<void(std::int32_t)> set);
  void AddString(const char* name, Accessor<std::string()> get, Accessor<void(const std::string&)> set);
  void AddStrings(const char* name, Accessor<std::vector<std::string>()> get,
                  Accessor<void(const std::vector<std::string>&)> set);
  void AddBinary(const char* name, Accessor<std::vector<std::uint8_t>()> get,
                 Accessor<void(std::span<const std::uint8_t>)> set);
  [[noreturn]] static void ThrowHandlerMismatch(const char* event);

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
using ComponentFactory = TComponent* (*)(TComponent* owner);
void RegisterComponentClass(const std::string& className, ComponentFactory factory);
// The factory of className, or null.
const ComponentFactory* FindComponentClass(const std::string& className);

template <class Handler, class Bind>
void PropertyTable::Event(const char* name, Bind bind) {
  PropertyInfo& info = Add(name, PropertyKind::Event);
  info.BindHandler = [bind, name](const std::any& handler) {
    const Handler* typed = std::any_cast<Handler>(&handler);
    if (typed == nullptr) ThrowHandlerMismatch(name);
    bind(*typed);
  };
}
