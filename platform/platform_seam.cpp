// Anchors the seam library; the interfaces themselves are headers.
