// Links in text fields: the url a clicked character carries.
#include "flash/core/edit_text.h"
#include "flash/core/player.h"

namespace flash {

void Player::followTextLink() {
    DisplayObject* hit = nullptr;
    for (auto it = levels_.rbegin(); it != levels_.rend() && !hit; ++it)
        hit = textFieldAt(*it->second, input_.mouse * 20.0, false);
    if (!hit || !scriptsEnabled_) return;
    auto& field = static_cast<EditText&>(*hit);
    bool invertible = false;
    const QTransform toLocal = field.worldMatrix().inverted(&invertible);
    if (!invertible) return;
    const int index = field.characterAt(toLocal.map(input_.mouse * 20.0));
    if (index < 0) return;
    const TextStyle& style = field.content.styleAt(index);
    if (style.url.isEmpty()) return;
    static const QString kFunction = QStringLiteral("asfunction:");
    if (style.url.startsWith(kFunction, Qt::CaseInsensitive)) {
        // The function is looked up from the field's timeline; what follows
        // the first comma is its one argument.
        MovieClip* timeline = field.parentClip();
        if (!timeline) return;
        const QString call = style.url.mid(kFunction.size());
        const qsizetype comma = call.indexOf(u',');
        const QString name = comma < 0 ? call : call.left(comma);
        if (name.isEmpty()) return;
        std::optional<QString> arg;
        if (comma >= 0) arg = call.mid(comma + 1);
        timelineScripts_->callLinkFunction(*timeline, name, arg);
        return;
    }
    timelineScripts_->getUrl(style.url, style.target);
}

}  // namespace flash
