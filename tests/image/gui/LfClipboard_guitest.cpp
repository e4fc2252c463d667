#include "image/gui/LfClipboard.h"

#include "image/CLfImage.h"
#include "tests/image/PictureTestUtil.h"

#include <gtest/gtest.h>
#include <wx/clipbrd.h>
#include <wx/dataobj.h>
#include <wx/image.h>

TEST(LfClipboard, CopiedImagesComeBackWithTheirPixelsAndDepth)
{
    for (uint32_t bpp : {8u, 24u}) {
        auto img = lftest::MakePicture(9, 7, bpp);
        ASSERT_TRUE(lfclip::CopyImage(*img));
        EXPECT_TRUE(lfclip::HasImage());
        CLfImage back;
        ASSERT_TRUE(lfclip::PasteImage(back)) << bpp;
        EXPECT_EQ(back.GetBpp(), bpp);
        EXPECT_EQ(lftest::Strs(lftest::Pixels(back)), lftest::Strs(lftest::Pixels(*img))) << bpp;
    }
    EXPECT_FALSE(lfclip::CopyImage(CLfImage()));
}

TEST(LfClipboard, PlainBitmapsFromOtherProgramsArePasted)
{
    if (!wxImage::FindHandler(wxBITMAP_TYPE_PNG))
        wxImage::AddHandler(new wxPNGHandler);
    auto img = lftest::MakePicture(5, 4, 24);
    ASSERT_TRUE(wxTheClipboard->Open());
    wxTheClipboard->SetData(new wxBitmapDataObject(img->MakeBitmap()));
    wxTheClipboard->Close();
    CLfImage back;
    ASSERT_TRUE(lfclip::PasteImage(back));
    EXPECT_EQ(lftest::Strs(lftest::Pixels(back)), lftest::Strs(lftest::Pixels(*img)));

    ASSERT_TRUE(wxTheClipboard->Open());
    wxTheClipboard->SetData(new wxTextDataObject("no picture"));
    wxTheClipboard->Close();
    CLfImage kept(*img);
    EXPECT_FALSE(lfclip::HasImage());
    EXPECT_FALSE(lfclip::PasteImage(kept));
    EXPECT_EQ(lftest::Strs(lftest::Pixels(kept)), lftest::Strs(lftest::Pixels(*img)));
}
