#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "tests/temp_folder.h"
#include "tools/show_data/output_file.h"
#include "tools/show_data/png_image.h"

#include <png.h>

using show_data::writeOutputFile;

TEST(OutputFile, WritesWholeFilesAndNamesTheOneItCannot) {
    TempFolder folder;
    const std::vector<uint8_t> bytes = {0, 1, 2, 255};
    writeOutputFile(folder.path() / "data" / "audio" / "vorn.txt", bytes);
    writeOutputFile(folder.path() / "data" / "audio" / "vorn.txt", bytes);  // replaces it
    std::ifstream file(folder / "data/audio/vorn.txt", std::ios::binary);
    EXPECT_EQ(std::vector<uint8_t>(std::istreambuf_iterator<char>(file), {}), bytes);
    EXPECT_FALSE(std::filesystem::exists(folder / "data/audio/vorn.txt.partial"));

    folder.write("data/events.txt/in-the-way", "a folder where the file should go");
    try {
        writeOutputFile(folder.path() / "data" / "events.txt", bytes);
        FAIL() << "no error";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find("events.txt"), std::string::npos) << error.what();
    }
}

TEST(PngImage, EncodesWhatTheShowsLoaderReadsBack) {
    show_data::PngImage image(3, 2);
    image.pixel(2, 1)[0] = 200;
    image.pixel(2, 1)[3] = 255;
    std::vector<uint8_t> bytes = show_data::encodePng(image);
    png_image reader{};
    reader.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_memory(&reader, bytes.data(), bytes.size()));
    reader.format = PNG_FORMAT_RGBA;
    std::vector<uint8_t> pixels(PNG_IMAGE_SIZE(reader));
    ASSERT_TRUE(png_image_finish_read(&reader, nullptr, pixels.data(), 0, nullptr));
    EXPECT_EQ(reader.width, 3u);
    EXPECT_EQ(reader.height, 2u);
    EXPECT_EQ(pixels, image.rgba);
}
