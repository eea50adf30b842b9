#pragma once
// A picture box: draws its picture stretched over the whole box (aspect not kept). The
// peer paints by handing its canvas to Paint; a JPEG is decoded at its first paint.
#include "controls/control.h"
#include "imaging/picture.h"

#include <string_view>

namespace nimbrel {

class TCanvas;

class TPictureBoxPeer : public TControlPeer {
public:
    // The picture changed: paint again soon (not from inside this call).
    virtual void Invalidate() = 0;
};

class TPictureBox : public TControl {
public:
    explicit TPictureBox(std::string name);

    // Loads a file through the picture-format registry, by its extension. Throws on an
    // unregistered extension or a file that fails to load, leaving the box as it was.
    void LoadFromFile(std::string_view path);
    // Picture := nothing.
    void Clear();
    TGraphic* Picture() const { return picture_.Graphic(); }

    // For the frontend: draws the picture over a box of this size. An exception of the
    // picture's drawing leaves this; the frontend reports it once the paint is over.
    void Paint(TCanvas& canvas, TSize size);

protected:
    void ShowState() override;

private:
    void Invalidate();

    TPicture picture_;
};

} // namespace nimbrel
