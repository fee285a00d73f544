// The little the annotation components need of a component framework: a name, a tag, and
// removal notices, so that a component holding a reference to another (a coordinate label, the
// image it is bound to) forgets it when that one is destroyed.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace annotate {

enum class TOperation { opInsert, opRemove };

class TComponent {
  public:
    TComponent() = default;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;
    // Tells every component registered with FreeNotification that this one goes.
    virtual ~TComponent();

    std::wstring Name;
    int Tag = 0;

    // From now on other is told (Notification with opRemove) when this component is destroyed,
    // and this one when other is destroyed.
    void FreeNotification(TComponent* other);
    void RemoveFreeNotification(TComponent* other);

  protected:
    virtual void Notification(TComponent* component, TOperation operation);

  private:
    void forget(TComponent* other);
    std::vector<TComponent*> notified_;
};

// A stand-in for a label control: a caption that can be shown somewhere.
class TLabel : public TComponent {
  public:
    const std::wstring& Caption() const { return caption_; }
    virtual void SetCaption(std::wstring_view caption) { caption_.assign(caption); }

  private:
    std::wstring caption_;
};

// "(x,y)", the caption a coordinate label shows, written into buffer (no allocation: it runs at
// every pointer move).
using CaptionBuffer = std::array<wchar_t, 32>;
std::wstring_view coordinate_caption(int x, int y, CaptionBuffer& buffer);

}  // namespace annotate
