#include "controls/picture_box.h"

#include "imaging/canvas.h"
#include "imaging/graphic.h"

namespace nimbrel {

TPictureBox::TPictureBox(std::string name) : TControl(std::move(name)) {
    picture_.OnChange = [this](TPicture&) { Invalidate(); };
}

void TPictureBox::Invalidate() {
    if (auto* peer = PeerAs<TPictureBoxPeer>())
        peer->Invalidate();
}

void TPictureBox::LoadFromFile(std::string_view path) {
    picture_.LoadFromFile(path);
}

void TPictureBox::Clear() {
    picture_.SetGraphic(nullptr);
    Invalidate();
}

void TPictureBox::Paint(TCanvas& canvas, TSize size) {
    TGraphic* graphic = picture_.Graphic();
    if (graphic == nullptr || graphic->Empty())
        return;
    graphic->Draw(canvas, TRect{0, 0, size.Width, size.Height});
}

void TPictureBox::ShowState() {
    Invalidate();
}

} // namespace nimbrel
