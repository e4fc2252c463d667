#pragma once
// How every image dialog fits a picture into one of its preview panes: shrunk to fit
// (never enlarged) and centred.

struct PreviewFit {
    float factor = 1.0f;
    int width = 0;   // the size the picture is drawn at
    int height = 0;
    int drawX = 0;   // its corner inside the pane
    int drawY = 0;
};

// A pane of paneWidth x paneHeight and a picture of imageWidth x imageHeight. The drawn
// size is at least 1 x 1, so extreme aspect ratios still give a picture to resample to.
PreviewFit FitIntoPane(int paneWidth, int paneHeight, int imageWidth, int imageHeight);
