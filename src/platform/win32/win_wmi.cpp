#include "platform/win32/win_wmi.h"

#include <windows.h>
#include <wbemidl.h>

#include <cctype>
#include <cstdio>

#include "platform/failure.h"
#include "platform/win32/scoped_com.h"
#include "platform/win32/unicode.h"

namespace th::win32 {

namespace {

using platform::PropertyValue;

constexpr std::string_view kMonikerScheme = "winmgmts:";

// The system's text for an HRESULT, or WMI's own for its status codes, with
// the code itself so a log reader can look it up.
std::string DescribeHresult(HRESULT hr) {
  std::wstring text = SystemMessage(static_cast<DWORD>(hr));
  if (text.empty()) {
    ComPtr<IWbemStatusCodeText> status;
    ScopedBstr message;
    if (SUCCEEDED(CoCreateInstance(CLSID_WbemStatusCodeText, nullptr, CLSCTX_INPROC_SERVER, IID_IWbemStatusCodeText,
                                   status.putVoid())) &&
        SUCCEEDED(status->GetErrorCodeText(hr, 0, 0, message.put()))) {
      text = message.text();
    }
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ')) text.pop_back();
  }
  char code[16];
  std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(hr));
  if (text.empty()) return "WMI エラー " + std::string(code);
  std::string described = Utf8(text);
  std::string folded = described;
  for (char& c : folded) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (folded.find(code + 2) == std::string::npos) {  // the text may name the code already
    described += " (" + std::string(code) + ")";
  }
  return described;
}

void Check(HRESULT hr) {
  if (FAILED(hr)) throw Failure(DescribeHresult(hr));
}

// Local WMI needs impersonation; in-process objects (as under Wine) have no
// proxy to set, which is fine.
void AllowImpersonation(IUnknown* proxy) {
  CoSetProxyBlanket(proxy, RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr, RPC_C_AUTHN_LEVEL_CALL,
                    RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE);
}

// The namespace path of a "winmgmts:[{settings}!]path" moniker.
std::wstring NamespaceOf(const std::string& moniker) {
  if (moniker.size() < kMonikerScheme.size() ||
      _strnicmp(moniker.c_str(), kMonikerScheme.data(), kMonikerScheme.size()) != 0) {
    throw Failure("WMI のモニカーではありません: " + moniker);
  }
  std::string path = moniker.substr(kMonikerScheme.size());
  if (!path.empty() && path.front() == '{') {
    const auto end = path.find('}');
    if (end == std::string::npos) throw Failure("WMI のモニカーが不正です: " + moniker);
    path.erase(0, end + 1);
    if (!path.empty() && path.front() == '!') path.erase(0, 1);
  }
  if (path.empty()) path = "root\\cimv2";
  return Wide(path);
}

std::wstring BstrText(BSTR b) { return b ? std::wstring(b, SysStringLen(b)) : std::wstring(); }

// An integer cut to the width its CIM type declares. WMI hands unsigned
// 32-bit values over in a signed slot, and Wine fills only the low bytes of
// the 4-byte slots of 8- and 16-bit lists: the CIM type says what is real.
std::int64_t Narrowed(std::int64_t v, CIMTYPE cim) {
  switch (cim) {
    case CIM_SINT8:
      return static_cast<std::int8_t>(v);
    case CIM_UINT8:
      return static_cast<std::uint8_t>(v);
    case CIM_SINT16:
      return static_cast<std::int16_t>(v);
    case CIM_UINT16:
      return static_cast<std::uint16_t>(v);
    case CIM_SINT32:
      return static_cast<std::int32_t>(v);
    case CIM_UINT32:
      return static_cast<std::uint32_t>(v);
    default:
      return v;
  }
}

std::int64_t IntegerAt(VARTYPE vt, const void* p) {
  switch (vt) {
    case VT_I1:
      return *static_cast<const signed char*>(p);
    case VT_UI1:
      return *static_cast<const unsigned char*>(p);
    case VT_I2:
      return *static_cast<const SHORT*>(p);
    case VT_UI2:
      return *static_cast<const USHORT*>(p);
    case VT_I4:
    case VT_INT:
      return *static_cast<const LONG*>(p);
    case VT_UI4:
    case VT_UINT:
      return *static_cast<const ULONG*>(p);
    case VT_I8:
      return *static_cast<const LONGLONG*>(p);
    default:  // VT_UI8
      return static_cast<std::int64_t>(*static_cast<const ULONGLONG*>(p));
  }
}

// One scalar of the given variant type stored at p.
PropertyValue Scalar(VARTYPE vt, const void* p, CIMTYPE cim) {
  switch (vt) {
    case VT_NULL:
      return PropertyValue::null();
    case VT_EMPTY:
      return PropertyValue::empty();
    case VT_BSTR: {
      std::string text = Utf8(BstrText(*static_cast<const BSTR*>(p)));
      return cim == CIM_DATETIME ? PropertyValue::ofDate(std::move(text)) : PropertyValue::ofText(std::move(text));
    }
    case VT_BOOL:
      return PropertyValue::ofBoolean(*static_cast<const VARIANT_BOOL*>(p) != VARIANT_FALSE);
    case VT_I1:
    case VT_UI1:
    case VT_I2:
    case VT_UI2:
    case VT_I4:
    case VT_INT:
    case VT_UI4:
    case VT_UINT:
    case VT_I8:
    case VT_UI8:
      return PropertyValue::ofInteger(Narrowed(IntegerAt(vt, p), cim));
    case VT_R4:
      return PropertyValue::ofReal(*static_cast<const float*>(p));
    case VT_R8:
      return PropertyValue::ofReal(*static_cast<const double*>(p));
    case VT_UNKNOWN:
    case VT_DISPATCH:
      return PropertyValue::object();
    default:
      throw Failure("WMI の値の型 " + std::to_string(vt) + " は扱えません。");
  }
}

PropertyValue ToPropertyValue(const VARIANT& v, CIMTYPE cim) {
  const CIMTYPE base = cim & ~CIM_FLAG_ARRAY;
  if (!(v.vt & VT_ARRAY)) {
    if (v.vt & VT_BYREF) throw Failure("WMI の値の型 " + std::to_string(v.vt) + " は扱えません。");
    return Scalar(v.vt, &v.lVal, base);  // every scalar member starts at the union's start
  }
  SAFEARRAY* array = v.parray;
  std::vector<PropertyValue> items;
  if (array && SafeArrayGetDim(array) == 1) {
    LONG lower = 0, upper = -1;
    Check(SafeArrayGetLBound(array, 1, &lower));
    Check(SafeArrayGetUBound(array, 1, &upper));
    VARTYPE elementType = static_cast<VARTYPE>(v.vt & VT_TYPEMASK);
    VARTYPE stored = VT_EMPTY;
    if (SUCCEEDED(SafeArrayGetVartype(array, &stored)) && stored != VT_EMPTY) elementType = stored;
    SafeArrayData data(array);
    if (upper >= lower && !data.get()) throw Failure("WMI の配列を読めません。");
    const auto* bytes = static_cast<const unsigned char*>(data.get());
    const UINT size = SafeArrayGetElemsize(array);
    for (LONG i = 0; i <= upper - lower; ++i) {
      const void* element = bytes + static_cast<std::size_t>(i) * size;
      if (elementType == VT_VARIANT) {
        const VARIANT& inner = *static_cast<const VARIANT*>(element);
        items.push_back(Scalar(inner.vt, &inner.lVal, base));
      } else {
        items.push_back(Scalar(elementType, element, base));
      }
    }
  } else if (array) {
    throw Failure("多次元の WMI 配列は扱えません。");
  }
  return PropertyValue::ofArray(std::move(items));
}

// An object's property enumeration, ended however the reading ends.
class PropertyEnumeration {
 public:
  explicit PropertyEnumeration(IWbemClassObject* object) : object_(object) {}
  ~PropertyEnumeration() { object_->EndEnumeration(); }
  PropertyEnumeration(const PropertyEnumeration&) = delete;
  PropertyEnumeration& operator=(const PropertyEnumeration&) = delete;

 private:
  IWbemClassObject* object_;
};

class WinWmiInstance : public platform::WmiInstance {
 public:
  explicit WinWmiInstance(ComPtr<IWbemClassObject> object) : object_(std::move(object)) {}

  std::vector<platform::Property> properties() override {
    Check(object_->BeginEnumeration(WBEM_FLAG_NONSYSTEM_ONLY));
    const PropertyEnumeration ending(object_.get());
    std::vector<platform::Property> out;
    while (true) {
      ScopedBstr name;
      ScopedVariant value;
      CIMTYPE type = CIM_EMPTY;
      const HRESULT hr = object_->Next(0, name.put(), value.put(), &type, nullptr);
      if (hr == WBEM_S_NO_MORE_DATA) break;
      Check(hr);
      out.emplace_back(Utf8(name.text()), ToPropertyValue(value.get(), type));
    }
    return out;
  }

  PropertyValue get(const std::string& name) override {
    ScopedVariant value;
    CIMTYPE type = CIM_EMPTY;
    const HRESULT hr = object_->Get(Wide(name).c_str(), 0, value.put(), &type, nullptr);
    if (FAILED(hr)) throw Failure(DescribeHresult(hr) + ": " + name);
    return ToPropertyValue(value.get(), type);
  }

 private:
  ComPtr<IWbemClassObject> object_;
};

class WinWmiConnection : public platform::WmiConnection {
 public:
  explicit WinWmiConnection(ComPtr<IWbemServices> services) : services_(std::move(services)) {}

  std::vector<std::unique_ptr<platform::WmiInstance>> query(const std::string& wql) override {
    ComPtr<IEnumWbemClassObject> found;
    const ScopedBstr language(L"WQL"), text(Wide(wql));
    Check(services_->ExecQuery(language.get(), text.get(), WBEM_FLAG_FORWARD_ONLY | WBEM_FLAG_RETURN_IMMEDIATELY,
                               nullptr, found.put()));
    AllowImpersonation(found.get());
    std::vector<std::unique_ptr<platform::WmiInstance>> instances;
    while (true) {
      ComPtr<IWbemClassObject> object;
      ULONG returned = 0;
      const HRESULT hr = found->Next(static_cast<LONG>(WBEM_INFINITE), 1, object.put(), &returned);
      Check(hr);
      if (returned == 0 || !object) break;
      instances.push_back(std::make_unique<WinWmiInstance>(std::move(object)));
    }
    return instances;
  }

 private:
  ComPtr<IWbemServices> services_;
};

}  // namespace

std::unique_ptr<platform::WmiConnection> WinWmi::connect(const std::string& moniker) {
  const ScopedBstr path(NamespaceOf(moniker));
  ComPtr<IWbemLocator> locator;
  Check(CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER, IID_IWbemLocator, locator.putVoid()));
  ComPtr<IWbemServices> services;
  Check(locator->ConnectServer(path.get(), nullptr, nullptr, nullptr, 0, nullptr, nullptr, services.put()));
  AllowImpersonation(services.get());
  return std::make_unique<WinWmiConnection>(std::move(services));
}

}  // namespace th::win32
