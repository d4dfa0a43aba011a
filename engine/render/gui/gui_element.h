// The elements of a GUI screen: rectangles in absolute client-area pixels that receive the
// pointer from their root and queue their looks into the root's sprite batch.
#pragma once

#include <vector>

namespace kesh {

class GuiRoot;

class GuiElement {
public:
    // Leaves the root's top-level list and releases the root's pointer capture, whichever
    // element holds it; the children are not deleted. The root must still exist.
    virtual ~GuiElement();
    GuiElement(const GuiElement&) = delete;
    GuiElement& operator=(const GuiElement&) = delete;

    virtual void onMouseMove(int px, int py) = 0;
    // Button 1 left, 2 right, 3 middle.
    virtual void onMouseButton(int button, bool down) = 0;
    // Queues the element's own items, not its children's.
    virtual void draw() = 0;

    // Half-open: the left and top edges are inside, the right and bottom ones are not.
    bool contains(int px, int py) const;
    // rect: left, top, width, height.
    void setRect(const int rect[4]);

    GuiRoot* root;  // not owned
    int x;
    int y;
    int w;
    int h;
    bool visible = true;
    std::vector<GuiElement*> children;  // in the order added; not owned by the base

protected:
    GuiElement(GuiRoot* root, const int rect[4]);
};

// Cuts the list at the first occurrence of the element: it and every element after it
// leave the list. An element that is not there changes nothing.
void cutAt(std::vector<GuiElement*>& list, const GuiElement* element);

}  // namespace kesh
