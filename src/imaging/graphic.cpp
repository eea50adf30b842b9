#include "imaging/graphic.h"

#include "imaging/graphic_errors.h"

#include <cstring>

namespace nimbrel {

void TGraphic::Assign(const TGraphic& source) {
    source.AssignTo(*this);
}

void TGraphic::AssignTo(TGraphic& dest) const {
    throw EConvertError(std::string("Cannot assign a ") + ClassName() + " to a " +
                        dest.ClassName());
}

bool TGraphic::Equals(const TGraphic& other) const {
    if (std::strcmp(ClassName(), other.ClassName()) != 0)
        return false;
    if (Empty() || other.Empty())
        return Empty() == other.Empty();
    TMemoryStream mine;
    TMemoryStream theirs;
    const_cast<TGraphic&>(*this).SaveToStream(mine);
    const_cast<TGraphic&>(other).SaveToStream(theirs);
    return mine.Bytes() == theirs.Bytes();
}

void TGraphic::SetTransparent(bool value) {
    if (value != transparent_) {
        transparent_ = value;
        Changed();
    }
}

void TGraphic::ReadData(TStream& stream) {
    LoadFromStream(stream);
}

void TGraphic::WriteData(TStream& stream) {
    SaveToStream(stream);
}

void TGraphic::LoadFromFile(std::string_view path) {
    TFileStream file(path, TFileStream::TMode::OpenRead);
    LoadFromStream(file);
    file.Close();
}

void TGraphic::SaveToFile(std::string_view path) {
    TFileStream file(path, TFileStream::TMode::Create);
    SaveToStream(file);
    file.Close();
}

void TGraphic::Changed() {
    if (OnChange)
        OnChange(*this);
}

void TGraphic::Progress(TProgressStage stage, std::uint8_t percentDone, bool redrawNow,
                        const TRect& r, const std::string& msg) {
    if (OnProgress)
        OnProgress(*this, stage, percentDone, redrawNow, r, msg);
}

} // namespace nimbrel
