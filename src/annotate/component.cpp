#include "annotate/component.h"

#include <algorithm>

namespace annotate {

TComponent::~TComponent() {
    // Each one first drops its back reference, so a Notification that unregisters does not
    // touch this list while it is being walked.
    const std::vector<TComponent*> to_tell = std::move(notified_);
    notified_.clear();
    for (TComponent* c : to_tell) c->forget(this);
    for (TComponent* c : to_tell) c->Notification(this, TOperation::opRemove);
}

void TComponent::FreeNotification(TComponent* other) {
    if (!other || other == this) return;
    if (std::find(notified_.begin(), notified_.end(), other) == notified_.end())
        notified_.push_back(other);
    if (std::find(other->notified_.begin(), other->notified_.end(), this) == other->notified_.end())
        other->notified_.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent* other) {
    if (!other) return;
    forget(other);
    other->forget(this);
}

void TComponent::forget(TComponent* other) {
    notified_.erase(std::remove(notified_.begin(), notified_.end(), other), notified_.end());
}

void TComponent::Notification(TComponent*, TOperation) {}

namespace {
std::size_t put_int(wchar_t* out, int v) {
    wchar_t digits[12];
    std::size_t n = 0;
    // Through unsigned, so the most negative value has a magnitude too.
    unsigned magnitude = v < 0 ? 0u - static_cast<unsigned>(v) : static_cast<unsigned>(v);
    do {
        digits[n++] = static_cast<wchar_t>(L'0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude);
    std::size_t len = 0;
    if (v < 0) out[len++] = L'-';
    while (n) out[len++] = digits[--n];
    return len;
}
}  // namespace

std::wstring_view coordinate_caption(int x, int y, CaptionBuffer& buffer) {
    std::size_t n = 0;
    buffer[n++] = L'(';
    n += put_int(buffer.data() + n, x);
    buffer[n++] = L',';
    n += put_int(buffer.data() + n, y);
    buffer[n++] = L')';
    return std::wstring_view(buffer.data(), n);
}

}  // namespace annotate
