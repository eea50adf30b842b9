#include "support/jpeg_sample_folder.h"

#include "support/bmp_maker.h"
#include "support/jpeg_maker.h"

namespace nimbrel::test {

void WriteFolderPicture(TempEnvironment& environment, const std::string& name,
                        const std::vector<std::uint8_t>& bytes) {
    environment.WriteHostFile('C', "pics/" + name, std::string(bytes.begin(), bytes.end()));
}

void WriteSampleFolder(TempEnvironment& environment) {
    WriteFolderPicture(environment, "a.jpg", MakeSolidJpeg(32, 24, {200, 0, 0}));
    WriteFolderPicture(environment, "B.bmp", MakeSolidBmp(32, 24, {0, 200, 0}));
    WriteFolderPicture(environment, "c.JPG", MakeSolidJpeg(32, 24, {0, 0, 200}));
    WriteFolderPicture(environment, "nimbrel.bmp", MakeSolidBmp(8, 8, {1, 2, 3}));
}

} // namespace nimbrel::test
