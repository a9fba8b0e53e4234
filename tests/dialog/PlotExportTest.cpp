// The plot saved and copied end to end, through Ostravine.dll as a host loads it: "Save
// plot..." to a PNG, an SVG and an EMF file of a known red curve, each read back (the PNG
// through the system's imaging library, the EMF played back into a bitmap, the SVG's
// polyline read as numbers), and "Copy plot" offering a bitmap and a metafile.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "platform/Handles.h"
#include "platform/WinApi.h"
#include "tests/host/DialogWatcher.h"
#include "tests/host/HostDouble.h"
#include "tests/host/HostImages.h"

extern "C" {
int WINAPI GdiplusStartup(ULONG_PTR* token, const void* input, void* output);
void WINAPI GdiplusShutdown(ULONG_PTR token);
int WINAPI GdipCreateBitmapFromFile(const WCHAR* file, void** bitmap);
int WINAPI GdipCreateHBITMAPFromBitmap(void* bitmap, HBITMAP* handle, DWORD background);
int WINAPI GdipGetImageHorizontalResolution(void* image, float* resolution);
int WINAPI GdipDisposeImage(void* image);
}

namespace {

constexpr int Width = 240, Height = 16;
const TRect Selection{0, 8, Width - 1, 8};

// The red channel: a peak at 70 and a rising edge at 180 on a floor of 20.
uint8_t Red(int x) {
  return static_cast<uint8_t>(std::lround(20 + 160 * std::exp(-(x - 70) * (x - 70) / 162.0) +
                                          60 * (1 + std::erf((x - 180) / (6 * std::sqrt(2.0))))));
}

// Pixels as 0x00RRGGBB, top row first.
struct TPicture {
  int Width = 0;
  int Height = 0;
  std::vector<uint32_t> Pixels;
  // The highest red pixel of each column (-1 where there is none).
  std::vector<int> RedTops() const {
    std::vector<int> tops(Width, -1);
    for (int y = Height - 1; y >= 0; --y)
      for (int x = 0; x < Width; ++x)
        if (Pixels[static_cast<size_t>(y) * Width + x] == 0xFF0000) tops[x] = y;
    return tops;
  }
};

TPicture PixelsOf(HBITMAP bitmap, int width, int height) {
  TPicture picture{width, height, std::vector<uint32_t>(static_cast<size_t>(width) * height)};
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  const HDC screen = GetDC(nullptr);
  GetDIBits(screen, bitmap, 0, height, picture.Pixels.data(), &info, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  for (uint32_t& pixel : picture.Pixels) pixel &= 0xFFFFFF;
  return picture;
}

// The PNG through the system's imaging library, and the resolution it states.
TPicture DecodePng(const std::string& file, float& pixelsPerInch) {
  ULONG_PTR token = 0;
  const struct {
    UINT32 Version = 1;
    void* Callback = nullptr;
    BOOL NoThread = FALSE, NoCodecs = FALSE;
  } input;
  EXPECT_EQ(GdiplusStartup(&token, &input, nullptr), 0);
  void* image = nullptr;
  EXPECT_EQ(GdipCreateBitmapFromFile(WideText(file, CP_ACP).c_str(), &image), 0) << file;
  TPicture picture;
  if (image) {
    GdipGetImageHorizontalResolution(image, &pixelsPerInch);
    HBITMAP handle = nullptr;
    GdipCreateHBITMAPFromBitmap(image, &handle, 0xFFFFFFFF);
    const TBitmapHandle bitmap(handle);
    BITMAP size{};
    GetObjectA(handle, sizeof size, &size);
    picture = PixelsOf(handle, size.bmWidth, size.bmHeight);
    GdipDisposeImage(image);
  }
  GdiplusShutdown(token);
  return picture;
}

// The EMF file played back by the system into a bitmap of the size given.
TPicture PlayEmf(const std::string& file, int width, int height) {
  const TEnhMetaFileHandle metafile(GetEnhMetaFileA(file.c_str()));
  EXPECT_TRUE(metafile) << file;
  const HDC screen = GetDC(nullptr);
  const TMemoryDc dc(CreateCompatibleDC(screen));
  const TBitmapHandle bitmap(CreateCompatibleBitmap(screen, width, height));
  ReleaseDC(nullptr, screen);
  {
    const TSelectObject selected(dc.Get(), bitmap.Get());
    const RECT area{0, 0, width, height};
    PlayEnhMetaFile(dc.Get(), metafile.Get(), &area);
  }
  return PixelsOf(bitmap.Get(), width, height);
}

// The points of the red curve's polylines, as y values.
std::vector<double> RedPolylineHeights(const std::string& svg) {
  std::vector<double> heights;
  const size_t group = svg.find("<g fill=\"none\" stroke=\"#ff0000\"");
  if (group == std::string::npos) return heights;
  const size_t end = svg.find("</g>", group);
  for (size_t at = svg.find("points=\"", group); at < end; at = svg.find("points=\"", at + 1)) {
    const char* cursor = svg.c_str() + at + 8;
    while (*cursor != '"') {
      char* next = nullptr;
      std::strtod(cursor, &next);
      heights.push_back(std::strtod(next + 1, &next));
      cursor = next;
      while (*cursor == ' ') ++cursor;
    }
  }
  return heights;
}

class PlotExportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    FHost.MainWindow = FMainWindow.Handle();
    ASSERT_EQ(FPlugin.RegisterPlugin(THostDouble::Callback), 1);
    for (int y = 0; y < Height; ++y)
      for (int x = 0; x < Width; ++x) {
        uint8_t* pixel = FImage.Pixels() + 3 * (y * Width + x);
        pixel[0] = static_cast<uint8_t>(200 - x / 2);
        pixel[1] = 60;
        pixel[2] = Red(x);
      }
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    FFolder = temp + std::string("ostravine_plot_") + std::to_string(GetTickCount());
    ASSERT_TRUE(CreateDirectoryA(FFolder.c_str(), nullptr));
    ParkCursor();
  }

  void TearDown() override {
    for (const char* name : {"plot.png", "plot.svg", "plot.emf"}) DeleteFileA((FFolder + "\\" + name).c_str());
    RemoveDirectoryA(FFolder.c_str());
  }

  TPluginLibrary FPlugin;
  THostMainWindow FMainWindow;
  THostDouble FHost;
  THostImageBuffer FImage = THostImageBuffer::Make24Bit(Width, Height);
  std::string FFolder;
};

TEST_F(PlotExportTest, APlotIsSavedAsPngSvgAndEmfAndCopiedAsADrawing) {
  const std::vector<std::string> names = {FFolder + "\\plot.png", FFolder + "\\plot.svg", FFolder + "\\plot.emf"};
  size_t named = 0;
  SIZE panel{};
  const auto savePlot = [](HWND dialog) {
    SetForegroundWindow(dialog);
    Keys({VK_APPS});
  };
  const auto choose = [](HWND) { Keys({'V'}); };
  FHost.OpenImages = {{FImage.Record().Pixels, Selection}};
  TDialogWatcher watcher(
      "Ostravine",
      {[&](HWND dialog) {
         // One curve: no legend over the curve's pixels.
         ClickChild(dialog, "Button", "Red");
         const TWindowPixels shown = ReadClientPixels(Panel(dialog));
         panel = {shown.Width, shown.Height};
       },
       savePlot, choose, savePlot, choose, savePlot, choose,
       [](HWND dialog) {
         SetForegroundWindow(dialog);
         Keys({VK_APPS});
       },
       [](HWND) { Keys({'P'}); },
       [](HWND) {
         EXPECT_TRUE(IsClipboardFormatAvailable(CF_DIB));
         EXPECT_TRUE(IsClipboardFormatAvailable(CF_ENHMETAFILE));
       }},
      TDialogAnswer::Close);
  watcher.Ready = [this] { return std::count(FHost.Requests.begin(), FHost.Requests.end(), hrImageChanged) > 0; };
  // The picture's size as offered: twice the panel's at twice the screen's resolution.
  watcher.OtherWindow = [&](HWND window) { return AnswerPlotSave(window, names, named); };
  EXPECT_EQ(FPlugin.ProcessImage(1, &FImage.Record()), 1);
  ASSERT_EQ(named, 3u);
  for (const TSeenDialog& seen : watcher.Seen)
    for (const TSeenControl& control : seen.Controls)
      EXPECT_EQ(control.Text.find("Cannot"), std::string::npos) << seen.Caption << ": " << control.Text;

  // The PNG: twice the panel in each direction at twice the screen's resolution, the red
  // curve across the plot, its highest point on the peak at sample 70 of 239.
  const auto sizeDialog = std::find_if(watcher.Seen.begin(), watcher.Seen.end(),
                                       [](const TSeenDialog& seen) { return seen.Caption == "Picture size"; });
  ASSERT_NE(sizeDialog, watcher.Seen.end());
  for (const std::string& offered : {std::to_string(2 * panel.cx), std::to_string(2 * panel.cy), std::string("192")})
    EXPECT_TRUE(sizeDialog->Find("Edit", offered)) << offered;
  float pixelsPerInch = 0;
  const TPicture png = DecodePng(names[0], pixelsPerInch);
  EXPECT_EQ(png.Width, 2 * panel.cx);
  EXPECT_EQ(png.Height, 2 * panel.cy);
  EXPECT_NEAR(pixelsPerInch, 192, 1);
  const std::vector<int> tops = png.RedTops();
  const auto first = std::find_if(tops.begin(), tops.end(), [](int y) { return y >= 0; });
  const auto last = std::find_if(tops.rbegin(), tops.rend(), [](int y) { return y >= 0; });
  ASSERT_NE(first, tops.end());
  const int left = static_cast<int>(first - tops.begin()), right = static_cast<int>(tops.rend() - last) - 1;
  EXPECT_GT(right - left, png.Width * 3 / 4) << "the curve spans the plot";
  int peak = left;
  for (int x = left; x <= left + (right - left) / 2; ++x)
    if (tops[x] >= 0 && tops[x] < tops[peak]) peak = x;
  EXPECT_NEAR(peak, left + (right - left) * 70.0 / 239, 3);

  // The EMF, played back at the PNG's size, has the curve where the PNG has it: at 200
  // places across the curve, the highest red pixel within 1.5 % of the height, the text's
  // own metrics (which move the frame by a few pixels) aside.
  const TPicture emf = PlayEmf(names[2], png.Width, png.Height);
  const std::vector<int> emfTops = emf.RedTops();
  const auto emfFirst = std::find_if(emfTops.begin(), emfTops.end(), [](int y) { return y >= 0; });
  ASSERT_NE(emfFirst, emfTops.end());
  const int emfLeft = static_cast<int>(emfFirst - emfTops.begin());
  const int emfRight = static_cast<int>(emfTops.rend() - std::find_if(emfTops.rbegin(), emfTops.rend(), [](int y) { return y >= 0; })) - 1;
  int matching = 0;
  for (int k = 0; k < 200; ++k) {
    const int x = left + (right - left) * k / 199, e = emfLeft + (emfRight - emfLeft) * k / 199;
    int nearest = png.Height;
    for (int d = -2; d <= 2; ++d)
      if (e + d >= 0 && e + d < emf.Width && emfTops[e + d] >= 0) nearest = std::min(nearest, std::abs(emfTops[e + d] - tops[x]));
    matching += nearest <= png.Height * 15 / 1000;
  }
  EXPECT_GE(matching, 195);

  // The SVG's red polyline: a point a sample, its heights a linear map of the red values.
  const std::vector<double> heights = RedPolylineHeights(FileText(names[1]));
  ASSERT_EQ(heights.size(), static_cast<size_t>(Width));
  const double scale = (heights[0] - heights[70]) / (Red(70) - Red(0));
  for (int x = 0; x < Width; ++x) EXPECT_NEAR(heights[x], heights[0] - scale * (Red(x) - Red(0)), 0.05) << x;
}

}  // namespace
