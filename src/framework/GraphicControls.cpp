#include "framework/GraphicControls.h"

#include <commctrl.h>

#include "framework/CommonControls.h"
#include "framework/Exception.h"
#include "framework/Form.h"

namespace tavelo {

namespace {

constexpr wchar_t kHintsProperty[] = L"Tavelo.Hints";

// The tooltip of the form's graphic controls, or null before the mouse has
// first moved over the form; the form's window destroys it with itself.
HWND HintWindowOf(const TForm& form) {
  return static_cast<HWND>(GetPropW(form.Handle(), kHintsProperty));
}

// The tool of one control: it watches the form's mouse messages itself.
TTTOOLINFOW ToolOf(const TGraphicControl& control) {
  TTTOOLINFOW tool{};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.uFlags = TTF_SUBCLASS;
  tool.hwnd = control.Form()->Handle();
  tool.uId = reinterpret_cast<UINT_PTR>(&control);
  return tool;
}

}  // namespace

void EnableGraphicControlHints(const TForm& form) {
  if (HintWindowOf(form)) return;
  RegisterCommonControls(ICC_BAR_CLASSES);
  HWND tips = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                              WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, form.Handle(), nullptr,
                              GetModuleHandleW(nullptr), nullptr);
  if (!tips) throw Exception("Cannot create the tooltip of a form");
  SetPropW(form.Handle(), kHintsProperty, tips);
  for (TComponent* component : form.Components())
    if (auto* control = dynamic_cast<TGraphicControl*>(component)) control->AddTool(tips);
}

TGraphicControl::TGraphicControl(TForm* owner) : TComponent(owner), form_(owner) {
  if (HWND tips = HintWindowOf(*form_)) AddTool(tips);
}

TGraphicControl::~TGraphicControl() {
  if (HWND tips = HintWindowOf(*form_)) {
    TTTOOLINFOW tool = ToolOf(*this);
    SendMessageW(tips, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  }
  Invalidate();
}

void TGraphicControl::AddTool(HWND tips) const {
  TTTOOLINFOW tool = ToolOf(*this);
  tool.lpszText = const_cast<wchar_t*>(hint_.c_str());
  tool.rect = visible_ ? Rect() : RECT{};  // a hidden control has no place for its hint
  if (!SendMessageW(tips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool)))
    throw Exception("Cannot add a hint");
}

RECT TGraphicControl::Rect() const {
  return RECT{bounds_.left, bounds_.top, bounds_.left + bounds_.width,
              bounds_.top + bounds_.height};
}

bool TGraphicControl::Contains(POINT clientPoint) const {
  const RECT rect = Rect();
  return PtInRect(&rect, clientPoint) != FALSE;
}

void TGraphicControl::SetBounds(const TBounds& bounds) {
  Invalidate();
  bounds_ = bounds;
  Invalidate();
  UpdateHintArea();
}

void TGraphicControl::SetVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  Invalidate();
  UpdateHintArea();
}

void TGraphicControl::SetHint(const std::wstring& hint) {
  if (hint == hint_) return;
  hint_ = hint;
  HWND tips = HintWindowOf(*form_);
  if (!tips) return;
  TTTOOLINFOW tool = ToolOf(*this);
  tool.lpszText = hint_.data();
  SendMessageW(tips, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

// A hidden control has no place for its hint.
void TGraphicControl::UpdateHintArea() const {
  HWND tips = HintWindowOf(*form_);
  if (!tips) return;
  TTTOOLINFOW tool = ToolOf(*this);
  tool.rect = visible_ ? Rect() : RECT{};
  SendMessageW(tips, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
}

void TGraphicControl::Invalidate() const {
  const RECT rect = Rect();
  InvalidateRect(form_->Handle(), &rect, FALSE);
}

void TGraphicControl::Repaint() const {
  Invalidate();
  UpdateWindow(form_->Handle());
}

void PaintGraphicControls(const TForm& form, HDC canvas) {
  for (TComponent* component : form.Components())
    if (auto* control = dynamic_cast<TGraphicControl*>(component); control && control->Visible())
      control->Paint(canvas);
}

// --- TTextLabel ---

TTextLabel::TTextLabel(TForm* owner) : TGraphicControl(owner) {}

TTextLabel::~TTextLabel() {
  if (fontHandle_) DeleteObject(fontHandle_);
}

void TTextLabel::SetCaption(const std::wstring& caption) {
  if (caption == caption_) return;
  caption_ = caption;
  Invalidate();
}

void TTextLabel::SetFont(const TFontStyle& font) {
  HDC screen = GetDC(nullptr);
  const int pixelsPerInch = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  LOGFONTW description{};
  description.lfHeight = -MulDiv(font.size, pixelsPerInch, 72);
  description.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
  description.lfCharSet = DEFAULT_CHARSET;
  // Smoothed edges would blend into the background, which a colour key
  // then leaves as a dark fringe round every glyph.
  description.lfQuality = NONANTIALIASED_QUALITY;
  font.name.copy(description.lfFaceName, LF_FACESIZE - 1);
  HFONT handle = CreateFontIndirectW(&description);
  if (!handle) throw Exception("Cannot create a font");
  if (fontHandle_) DeleteObject(fontHandle_);
  fontHandle_ = handle;
  font_ = font;
  Invalidate();
}

void TTextLabel::SetFontColor(std::uint32_t rgb) {
  if (rgb == fontColor_) return;
  fontColor_ = rgb;
  Invalidate();
}

void TTextLabel::SetColor(std::uint32_t rgb) {
  if (rgb == color_) return;
  color_ = rgb;
  Invalidate();
}

void TTextLabel::SetTransparent(bool transparent) {
  if (transparent == transparent_) return;
  transparent_ = transparent;
  Invalidate();
}

void TTextLabel::SetAlignment(TAlignment alignment) {
  alignment_ = alignment;
  Invalidate();
}

void TTextLabel::SetLayout(TVertAlignment layout) {
  layout_ = layout;
  Invalidate();
}

void TTextLabel::Paint(HDC canvas) const {
  RECT rect = Rect();
  if (!transparent_) {
    HBRUSH background = CreateSolidBrush(ColorRef(color_));
    FillRect(canvas, &rect, background);
    DeleteObject(background);
  }
  if (caption_.empty()) return;
  const HGDIOBJ previousFont =
      SelectObject(canvas, fontHandle_ ? fontHandle_ : GetStockObject(DEFAULT_GUI_FONT));
  SetBkMode(canvas, TRANSPARENT);
  SetTextColor(canvas, ColorRef(fontColor_));
  UINT format = DT_SINGLELINE | DT_NOPREFIX;
  if (alignment_ == TAlignment::taRightJustify) format |= DT_RIGHT;
  if (alignment_ == TAlignment::taCenter) format |= DT_CENTER;
  if (layout_ == TVertAlignment::taVCenter) format |= DT_VCENTER;
  if (layout_ == TVertAlignment::taBottomJustify) format |= DT_BOTTOM;
  DrawTextW(canvas, caption_.c_str(), static_cast<int>(caption_.size()), &rect, format);
  SelectObject(canvas, previousFont);
}

}  // namespace tavelo
