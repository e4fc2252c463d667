#include "print/model/PrintCellSequence.h"

#include "image/CLfImage.h"
#include "manager/model/CFolderItem.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

PrintLayout Grid(int rows, int columns)
{
    PrintLayout layout;
    layout.m_nRows = rows;
    layout.m_nColumns = columns;
    return layout;
}

// A folder of images named 0.bmp, 1.bmp ...; the loader makes a 1 x 1 picture for each
// image except those listed as undecodable, and counts its calls.
struct Fixture {
    explicit Fixture(int images, std::vector<int> undecodable = {}) : folder("f", "/pictures", 0), bad(std::move(undecodable))
    {
        for (int i = 0; i < images; ++i) {
            const std::string name = std::to_string(i) + ".bmp";
            folder.AddImage(std::make_unique<CImageItem>(name, "/pictures/" + name, 100, 0, 0));
        }
    }
    PrintCellSequence Sequence()
    {
        return PrintCellSequence([this](const CImageItem& image) {
            ++loads;
            const int index = std::stoi(image.m_strName);
            for (int b : bad) {
                if (b == index)
                    return std::unique_ptr<CLfImage>(new CLfImage());  // holds no pixels
            }
            return std::make_unique<CLfImage>(1, 1, 24);
        });
    }
    void Select(std::vector<int> indexes)
    {
        for (int i : indexes)
            folder.Image(static_cast<size_t>(i))->m_bSelected = true;
    }
    void Mark(std::vector<int> indexes)
    {
        for (auto& image : folder.m_arrImages)
            image->m_bMarkedForPrint = false;
        for (int i : indexes)
            folder.Image(static_cast<size_t>(i))->m_bMarkedForPrint = true;
    }

    CFolderItem folder;
    std::vector<int> bad;
    int loads = 0;
};

std::vector<int> Indexes(const PrintCellSequence& cells)
{
    std::vector<int> indexes;
    for (size_t i = 0; i < cells.CellCount(); ++i)
        indexes.push_back(cells.Cell(i)->m_nImageIndex);
    return indexes;
}

constexpr int E = CPrintCell::kEmptyPlace;

TEST(PrintCellSequence, SelectionBuildsTheCellsAndShowsTheLastPage)
{
    Fixture f(7, {4});
    f.Select({0, 2, 3, 4, 6});
    PrintCellSequence cells = f.Sequence();
    cells.SetLayout(Grid(2, 2));
    cells.AddSelectedImages(&f.folder);
    EXPECT_EQ(Indexes(cells), (std::vector<int>{0, 2, 3, 4, 6}));
    EXPECT_EQ(cells.PageCount(), 2);
    EXPECT_EQ(cells.CurrentPage(), 1);
    EXPECT_TRUE(f.folder.Image(6)->m_bMarkedForPrint);
    EXPECT_FALSE(f.folder.Image(1)->m_bMarkedForPrint);
    // The image that does not decode keeps its place without a picture.
    EXPECT_EQ(cells.Cell(3)->m_pImage, nullptr);
    EXPECT_NE(cells.Cell(2)->m_pImage, nullptr);

    // Built again, the previous cells go.
    f.folder.Image(0)->m_bSelected = false;
    cells.AddSelectedImages(&f.folder);
    EXPECT_EQ(Indexes(cells), (std::vector<int>{2, 3, 4, 6}));
    EXPECT_EQ(cells.PageCount(), 1);
    EXPECT_EQ(cells.CurrentPage(), 0);

    // A folder without a path changes nothing.
    CFolderItem none("none", "", 0);
    cells.AddSelectedImages(&none);
    EXPECT_EQ(cells.CellCount(), 4u);
}

TEST(PrintCellSequence, AddingShowsThePageOfTheLastCellAndRemovePageMovesBack)
{
    Fixture f(5);
    f.Select({0, 1, 2, 3});
    PrintCellSequence cells = f.Sequence();
    cells.SetLayout(Grid(2, 2));
    cells.AddSelectedImages(&f.folder);
    ASSERT_EQ(cells.CurrentPage(), 0);
    f.Mark({4});
    ASSERT_TRUE(cells.AddToPrint(&f.folder));
    EXPECT_EQ(cells.CellCount(), 5u);
    EXPECT_EQ(cells.PageCount(), 2);
    EXPECT_EQ(cells.CurrentPage(), 1);

    cells.RemovePage();
    EXPECT_EQ(Indexes(cells), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(cells.PageCount(), 1);
    EXPECT_EQ(cells.CurrentPage(), 0);

    // Removing a page that is not the last one keeps the page index; the later cells
    // move up onto it.
    f.Mark({0, 1, 2, 3, 4});
    cells.AddToPrint(&f.folder);  // 9 cells: pages of 4, 4, 1
    ASSERT_EQ(cells.PageCount(), 3);
    ASSERT_TRUE(cells.PreviousPage());
    EXPECT_EQ(cells.CurrentPage(), 1);
    cells.RemovePage();
    EXPECT_EQ(Indexes(cells), (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_EQ(cells.CurrentPage(), 1);
    EXPECT_EQ(cells.PageCount(), 2);

    // The only page, emptied, leaves page 1 of 1.
    cells.PreviousPage();
    cells.RemovePage();
    cells.RemovePage();
    EXPECT_EQ(cells.CellCount(), 0u);
    EXPECT_EQ(cells.PageCount(), 1);
    EXPECT_EQ(cells.CurrentPage(), 0);
}

TEST(PrintCellSequence, RemovedImagesLeavePlacesThatTheNextAddFillsFirst)
{
    Fixture f(6);
    f.Select({0, 1, 2, 3});
    PrintCellSequence cells = f.Sequence();
    cells.SetLayout(Grid(2, 2));
    cells.AddSelectedImages(&f.folder);
    cells.Cell(1)->m_bSelected = true;
    cells.Cell(3)->m_bSelected = true;
    ASSERT_TRUE(cells.RemoveImages());
    EXPECT_EQ(Indexes(cells), (std::vector<int>{0, E, 2, E}));
    EXPECT_TRUE(cells.Cell(1)->m_bSelected) << "an emptied place stays selected";
    EXPECT_EQ(cells.Cell(1)->m_pImage, nullptr);

    // Only empty places selected: nothing to remove.
    cells.Cell(0)->m_bSelected = false;
    EXPECT_FALSE(cells.RemoveImages());

    // Three marked images, in folder order: two fill the places, the third goes last.
    f.Mark({5, 4, 1});
    const int loadsBefore = f.loads;
    ASSERT_TRUE(cells.AddToPrint(&f.folder));
    EXPECT_EQ(Indexes(cells), (std::vector<int>{0, 1, 2, 4, 5}));
    EXPECT_EQ(f.loads - loadsBefore, 3);
    EXPECT_NE(cells.Cell(3)->m_pImage, nullptr);
    EXPECT_EQ(cells.CurrentPage(), 1);
    EXPECT_TRUE(f.folder.Image(4)->m_bMarkedForPrint) << "marks stay after adding";

    // Nothing marked: nothing added.
    f.Mark({});
    EXPECT_FALSE(cells.AddToPrint(&f.folder));
    EXPECT_EQ(cells.CellCount(), 5u);
}

TEST(PrintCellSequence, ClicksSelectCellsOfTheCurrentPage)
{
    Fixture f(5);
    f.Select({0, 1, 2, 3, 4});
    PrintCellSequence cells = f.Sequence();
    cells.SetLayout(Grid(2, 2));
    cells.AddSelectedImages(&f.folder);
    cells.PreviousPage();
    for (size_t i = 0; i < 4; ++i) {
        const int x = static_cast<int>(i % 2) * 100;
        const int y = static_cast<int>(i / 2) * 100;
        cells.Cell(i)->m_rcCell = RECT{x, y, x + 90, y + 90};
    }
    // Cell 4 lies on page 2 with a rectangle of its own that a click on page 1 ignores.
    cells.Cell(4)->m_rcCell = RECT{0, 0, 90, 90};

    auto selected = [&] {
        std::vector<int> s;
        for (size_t i = 0; i < cells.CellCount(); ++i) {
            if (cells.Cell(i)->m_bSelected)
                s.push_back(static_cast<int>(i));
        }
        return s;
    };
    struct Step {
        int x, y;
        bool ctrl;
        std::vector<int> expected;
    };
    const Step steps[] = {
        {45, 45, false, {0}},
        {190, 90, false, {1}},      // edges belong to the cell
        {10, 110, true, {1, 2}},    // Ctrl adds
        {190, 10, true, {2}},       // Ctrl toggles off
        {195, 195, true, {}},       // Ctrl on no cell clears all
        {100, 100, false, {3}},
        {95, 95, false, {}},        // a gap between cells clears all
    };
    for (const Step& s : steps) {
        cells.Click(s.x, s.y, s.ctrl);
        EXPECT_EQ(selected(), s.expected) << s.x << "," << s.y << (s.ctrl ? " with Ctrl" : "");
    }
}

TEST(PrintCellSequence, LayoutChangePagingAndClearing)
{
    Fixture f(9);
    f.Select({0, 1, 2, 3, 4, 5, 6, 7, 8});
    PrintCellSequence cells = f.Sequence();
    cells.SetLayout(Grid(1, 1));
    cells.AddSelectedImages(&f.folder);
    EXPECT_EQ(cells.PageCount(), 9);
    EXPECT_EQ(cells.CurrentPage(), 8);
    EXPECT_FALSE(cells.NextPage());

    cells.ApplyLayout(Grid(2, 2));
    EXPECT_EQ(cells.PageCount(), 3);
    EXPECT_EQ(cells.CurrentPage(), 0);
    EXPECT_FALSE(cells.PreviousPage());
    EXPECT_TRUE(cells.NextPage());
    EXPECT_TRUE(cells.NextPage());
    EXPECT_FALSE(cells.NextPage());
    EXPECT_EQ(cells.CurrentPage(), 2);

    // Taking a layout with bigger pages keeps the page within the count.
    cells.SetLayout(Grid(3, 3));
    cells.LayoutPages();
    EXPECT_EQ(cells.PageCount(), 1);
    EXPECT_EQ(cells.CurrentPage(), 0);

    cells.ClearPage();
    EXPECT_EQ(cells.CellCount(), 0u);
    EXPECT_EQ(cells.PageCount(), 1);
    EXPECT_EQ(cells.CurrentPage(), 0);
}

TEST(PrintCell, PreviewIsMadeOnceForASizeAndBlendsTransparencyOnWhite)
{
    auto image = std::make_unique<CLfImage>(40, 20, 24);
    ASSERT_TRUE(image->IsValid());
    ASSERT_TRUE(image->AlphaCreate());  // fully transparent
    CPrintCell cell(0, std::move(image));
    const CLfImage* preview = cell.PreviewImage(20, 10);
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(preview->GetWidth(), 20);
    EXPECT_EQ(preview->GetHeight(), 10);
    EXPECT_EQ(preview->alpha, nullptr);
    const uint8_t* pixel = preview->GetBits(5);
    EXPECT_EQ(pixel[0] + pixel[1] + pixel[2], 3 * 255) << "transparent parts show white";
    EXPECT_EQ(cell.PreviewImage(20, 10), preview);
    EXPECT_NE(cell.PreviewImage(10, 5), nullptr);
    EXPECT_EQ(cell.PreviewImage(0, 5), nullptr);
    cell.Empty();
    EXPECT_TRUE(cell.IsEmptyPlace());
    EXPECT_EQ(cell.PreviewImage(10, 5), nullptr);
}

}  // namespace
