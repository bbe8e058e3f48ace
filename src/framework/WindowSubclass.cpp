#include "framework/WindowSubclass.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "framework/Application.h"

namespace tavelo {

namespace {

constexpr wchar_t kChainProperty[] = L"Tavelo.Subclasses";

struct Subclass {
  TSubclassProc procedure;  // null once detached
  UINT_PTR id;
  DWORD_PTR data;
};

// The subclasses of one window, held by a property of the window. While a
// message passes through them, detached ones stay in place as gaps, so that
// the positions of the messages on the way keep their meaning.
struct SubclassChain {
  WNDPROC original = nullptr;
  std::vector<Subclass> subclasses;  // oldest first
  size_t next = 0;                   // the innermost message has yet to reach those below this
  int passing = 0;                   // messages on their way through the chain
  bool hooked = false;               // ChainProc stands in front of the original procedure
  bool destroyed = false;            // the window has had its WM_NCDESTROY; the property is gone
};

SubclassChain* ChainOf(HWND window) {
  return static_cast<SubclassChain*>(GetPropW(window, kChainProperty));
}

Subclass* FindAttached(SubclassChain& chain, TSubclassProc procedure, UINT_PTR id) {
  for (Subclass& subclass : chain.subclasses)
    if (subclass.procedure == procedure && subclass.id == id) return &subclass;
  return nullptr;
}

bool HasAttached(const SubclassChain& chain) {
  return std::any_of(chain.subclasses.begin(), chain.subclasses.end(),
                     [](const Subclass& subclass) { return subclass.procedure != nullptr; });
}

LRESULT CALLBACK ChainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

LONG_PTR ChainProcValue() { return reinterpret_cast<LONG_PTR>(&ChainProc); }

void Hook(HWND window, SubclassChain& chain) {
  chain.original =
      reinterpret_cast<WNDPROC>(SetWindowLongPtrW(window, GWLP_WNDPROC, ChainProcValue()));
  chain.hooked = true;
}

void Unhook(HWND window, SubclassChain& chain) {
  // A procedure put in front of ours since still calls ours: taking ours out
  // would cut it off, so the empty chain stays and passes everything on.
  if (GetWindowLongPtrW(window, GWLP_WNDPROC) != ChainProcValue()) return;
  SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(chain.original));
  chain.hooked = false;
}

// After the window's last message: its procedure is not worth putting back.
void DropAll(HWND window, SubclassChain& chain) {
  for (Subclass& subclass : chain.subclasses) subclass.procedure = nullptr;
  RemovePropW(window, kChainProperty);
  chain.hooked = false;
  chain.destroyed = true;
}

// Puts the window's procedure back once no subclass is left, and frees the
// chain once no message is on its way through it either.
void Tidy(HWND window, SubclassChain* chain) {
  if (chain->hooked && !HasAttached(*chain)) Unhook(window, *chain);
  if (chain->passing > 0) return;
  auto& subclasses = chain->subclasses;
  subclasses.erase(std::remove_if(subclasses.begin(), subclasses.end(),
                                  [](const Subclass& subclass) { return !subclass.procedure; }),
                   subclasses.end());
  if (chain->hooked) return;
  if (!chain->destroyed) RemovePropW(window, kChainProperty);
  delete chain;
}

LRESULT CALLBACK ChainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  SubclassChain* chain = ChainOf(window);
  if (!chain) return DefWindowProcW(window, message, wParam, lParam);  // its property was taken
  // A message sent from inside a subclass procedure starts from the top and
  // leaves the position of the one under way as it was.
  const size_t outerNext = chain->next;
  chain->next = chain->subclasses.size();
  ++chain->passing;
  LRESULT result = 0;
  try {
    result = CallNextSubclass(window, message, wParam, lParam);
  } catch (...) {
    RouteException(nullptr);
  }
  chain->next = outerNext;
  --chain->passing;
  if (message == WM_NCDESTROY && !chain->destroyed) DropAll(window, *chain);
  Tidy(window, chain);
  return result;
}

}  // namespace

bool AttachSubclass(HWND window, TSubclassProc procedure, UINT_PTR id, DWORD_PTR data) {
  if (GetWindowThreadProcessId(window, nullptr) != GetCurrentThreadId()) return false;
  SubclassChain* chain = ChainOf(window);
  if (!chain) {
    auto fresh = std::make_unique<SubclassChain>();
    if (!SetPropW(window, kChainProperty, fresh.get())) return false;
    chain = fresh.release();
  }
  if (Subclass* attached = FindAttached(*chain, procedure, id)) {
    attached->data = data;
    return true;
  }
  chain->subclasses.push_back({procedure, id, data});
  if (!chain->hooked) Hook(window, *chain);
  return true;
}

void DetachSubclass(HWND window, TSubclassProc procedure, UINT_PTR id) {
  SubclassChain* chain = ChainOf(window);
  if (!chain) return;
  Subclass* attached = FindAttached(*chain, procedure, id);
  if (!attached) return;
  attached->procedure = nullptr;
  Tidy(window, chain);
}

LRESULT CallNextSubclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  SubclassChain* chain = ChainOf(window);
  if (!chain) return DefWindowProcW(window, message, wParam, lParam);  // after WM_NCDESTROY
  while (chain->next > 0) {
    const Subclass subclass = chain->subclasses[--chain->next];
    if (subclass.procedure)
      return subclass.procedure(window, message, wParam, lParam, subclass.id, subclass.data);
  }
  return CallWindowProcW(chain->original, window, message, wParam, lParam);
}

}  // namespace tavelo
