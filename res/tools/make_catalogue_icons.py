#!/usr/bin/env python3
"""Draws the catalogue manager's icons into res/program: its window icon and the update check box, unticked
and ticked (16 x 16)."""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "scene"))
from make_scene_textures import BLACK, WHITE, Picture  # noqa: E402

GREY = (128, 128, 128)
GREEN = (0, 140, 40)
BLUE = (40, 90, 170)
YELLOW = (250, 210, 60)


def check_box(ticked):
    p = Picture(16, 16, WHITE)
    p.frame(1, 1, 15, 15, 1, GREY)
    if ticked:
        for x, y in [(4, 7), (5, 8), (6, 9), (7, 10), (8, 9), (9, 8), (10, 7), (11, 6), (12, 5)]:
            p.rect(x, y - 1, x + 1, y + 2, GREEN)
    return p


def catalogue():
    p = Picture(16, 16, WHITE)
    p.rect(2, 1, 13, 15, BLUE)
    p.rect(4, 3, 11, 6, WHITE)
    p.rect(6, 8, 9, 13, YELLOW)  # a luminaire's light on the cover
    p.rect(7, 7, 8, 8, BLACK)
    return p


def main():
    catalogue().save("catalogue_manager.png")
    check_box(False).save("catalogue_update_unticked.png")
    check_box(True).save("catalogue_update_ticked.png")


if __name__ == "__main__":
    main()
