#pragma once
// Controls without a window of their own. The form that owns them paints
// them, in the order of their creation, within its own paint, so that the
// form shows as one picture: the colour key of a layered form then reaches
// through a transparent label to the glyphs alone. Their hints come from one
// tooltip over the form, made when the mouse first moves over it.
#include <cstdint>
#include <string>

#include "framework/Component.h"
#include "framework/Controls.h"
#include "framework/Win32.h"
#include "settings/NumEditText.h"  // the alignments, shared with the number box

namespace tavelo {

class TForm;

class TGraphicControl : public TComponent {
 public:
  ~TGraphicControl() override;

  TForm* Form() const { return form_; }

  const TBounds& Bounds() const { return bounds_; }
  void SetBounds(const TBounds& bounds);
  int Left() const { return bounds_.left; }
  int Top() const { return bounds_.top; }
  int Width() const { return bounds_.width; }
  int Height() const { return bounds_.height; }
  RECT Rect() const;
  bool Contains(POINT clientPoint) const;

  bool Visible() const { return visible_; }
  void SetVisible(bool visible);

  // Shown on hover while not empty.
  const std::wstring& Hint() const { return hint_; }
  void SetHint(const std::wstring& hint);

  // Marks the control's place for the form's next paint.
  void Invalidate() const;
  // Paints the control's place now.
  void Repaint() const;

  // Draws the control on the form's canvas, in client coordinates.
  virtual void Paint(HDC canvas) const = 0;

 protected:
  explicit TGraphicControl(TForm* owner);

 private:
  friend void EnableGraphicControlHints(const TForm& form);
  void AddTool(HWND tips) const;
  void UpdateHintArea() const;

  TForm* form_;
  TBounds bounds_;
  bool visible_ = true;
  std::wstring hint_;
};

// Paints the visible graphic controls of `form`, first created first.
void PaintGraphicControls(const TForm& form, HDC canvas);
// Makes the tooltip of the form's graphic controls unless it exists. The
// form calls it on a mouse move: hints matter only under the mouse, and the
// tooltip's library need not be bound before then.
void EnableGraphicControlHints(const TForm& form);

struct TFontStyle {
  std::wstring name;
  int size = 9;  // points
  bool bold = false;
};

// One line of text on a background colour, or on whatever lies below it
// when transparent. It keeps its size, whatever the text.
class TTextLabel : public TGraphicControl {
 public:
  explicit TTextLabel(TForm* owner);
  ~TTextLabel() override;

  const std::wstring& Caption() const { return caption_; }
  void SetCaption(const std::wstring& caption);

  const TFontStyle& Font() const { return font_; }
  void SetFont(const TFontStyle& font);
  // 0x00RRGGBB
  std::uint32_t FontColor() const { return fontColor_; }
  void SetFontColor(std::uint32_t rgb);
  std::uint32_t Color() const { return color_; }
  void SetColor(std::uint32_t rgb);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool transparent);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment alignment);
  TVertAlignment Layout() const { return layout_; }
  void SetLayout(TVertAlignment layout);

  void Paint(HDC canvas) const override;

 private:
  std::wstring caption_;
  TFontStyle font_;
  HFONT fontHandle_ = nullptr;
  std::uint32_t fontColor_ = 0;
  std::uint32_t color_ = 0;
  bool transparent_ = false;
  TAlignment alignment_ = TAlignment::taLeftJustify;
  TVertAlignment layout_ = TVertAlignment::taTopJustify;
};

// The Windows colour of 0x00RRGGBB.
constexpr COLORREF ColorRef(std::uint32_t rgb) {
  return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

}  // namespace tavelo
