#!/usr/bin/env python3
"""Draws the main window's bar images (res/program/*_toolbar.png), the pane icons (pane_icons.png) and the
help item's bitmap (help_menu.png).

Our own pictures: a few flat shapes per button on the classic grey the bars take as transparent. Deterministic,
so a run reproduces the committed files exactly. Run from anywhere: python3 res/shell/make_shell_images.py
"""

import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "scene"))
from make_scene_textures import Picture  # noqa: E402

GREY = (192, 192, 192)
MASK = (0, 255, 0)
BLACK, WHITE = (0, 0, 0), (255, 255, 255)
ROAD, LINE, POLE = (80, 80, 80), (250, 250, 250), (40, 60, 140)
RED, GREEN, YELLOW, BLUE = (200, 30, 30), (30, 150, 50), (240, 200, 20), (40, 90, 200)


def road(p, x):
    p.rect(x + 1, 2, x + 15, 13, ROAD)
    for y in range(3, 13, 4):
        p.rect(x + 7, y, x + 9, y + 2, LINE)


def site(p, x):
    p.rect(x + 2, 3, x + 14, 12, GREEN)
    p.rect(x + 5, 6, x + 11, 9, ROAD)


def calculate(p, x):
    p.rect(x + 7, 1, x + 9, 12, POLE)
    p.rect(x + 4, 1, x + 12, 3, POLE)
    p.rect(x + 3, 3, x + 6, 5, YELLOW)
    p.rect(x + 10, 3, x + 13, 5, YELLOW)
    p.rect(x + 4, 12, x + 12, 14, BLACK)


def cancel(p, x):
    for i in range(10):
        p.rect(x + 3 + i, 3 + i, x + 5 + i, 4 + i, RED)
        p.rect(x + 11 - i, 3 + i, x + 13 - i, 4 + i, RED)


def mode(p, x):
    p.frame(x + 1, 3, x + 15, 12, 1, BLACK)
    p.rect(x + 2, 4, x + 14, 11, WHITE)
    p.rect(x + 10, 6, x + 13, 8, BLACK)


def plan(p, x):
    p.frame(x + 2, 2, x + 14, 13, 1, BLUE)
    p.rect(x + 4, 6, x + 12, 9, ROAD)


def cube(p, x):
    p.frame(x + 2, 5, x + 11, 14, 1, BLUE)
    p.frame(x + 5, 2, x + 14, 11, 1, BLUE)


def zoom(p, x, plus):
    p.frame(x + 2, 2, x + 11, 11, 2, BLACK)
    p.rect(x + 4, 6, x + 9, 7, BLUE)
    if plus:
        p.rect(x + 6, 4, x + 7, 9, BLUE)
    for i in range(4):
        p.rect(x + 10 + i, 10 + i, x + 12 + i, 12 + i, BLACK)


def pan(p, x):
    p.rect(x + 7, 1, x + 9, 14, BLACK)
    p.rect(x + 2, 7, x + 14, 9, BLACK)


def rotate(p, x):
    p.frame(x + 3, 3, x + 13, 13, 2, BLUE)
    p.rect(x + 11, 1, x + 15, 5, GREY)
    p.rect(x + 12, 2, x + 15, 6, BLUE)


def restore(p, x):
    p.frame(x + 2, 2, x + 14, 13, 1, BLACK)
    p.frame(x + 5, 5, x + 11, 10, 1, BLUE)


def select(p, x):
    for i in range(9):
        p.rect(x + 4, 2 + i, x + 5 + i // 1 * 1 // 2 + 1, 3 + i, BLACK)
    p.rect(x + 8, 10, x + 10, 14, BLACK)


def readout(p, x):
    p.rect(x + 7, 1, x + 8, 14, BLACK)
    p.rect(x + 1, 7, x + 14, 8, BLACK)
    p.rect(x + 10, 10, x + 15, 14, YELLOW)


def money(p, x):
    p.rect(x + 2, 4, x + 14, 12, GREEN)
    p.frame(x + 2, 4, x + 14, 12, 1, BLACK)
    p.rect(x + 7, 6, x + 9, 10, WHITE)


def table(p, x):
    p.rect(x + 2, 2, x + 14, 13, WHITE)
    p.frame(x + 2, 2, x + 14, 13, 1, BLACK)
    for y in (5, 8, 11):
        p.rect(x + 2, y, x + 14, y + 1, BLACK)
    p.rect(x + 7, 2, x + 8, 13, BLACK)


def tree(p, x):
    p.rect(x + 2, 2, x + 6, 5, BLUE)
    p.rect(x + 3, 5, x + 4, 13, BLACK)
    p.rect(x + 4, 8, x + 8, 9, BLACK)
    p.rect(x + 4, 12, x + 8, 13, BLACK)
    p.rect(x + 8, 7, x + 13, 10, YELLOW)
    p.rect(x + 8, 11, x + 13, 14, YELLOW)


def grid(p, x):
    p.rect(x + 2, 2, x + 14, 14, WHITE)
    p.frame(x + 2, 2, x + 14, 14, 1, BLACK)
    for y in (5, 8, 11):
        p.rect(x + 2, y, x + 14, y + 1, GREY)
    p.rect(x + 7, 2, x + 8, 14, BLACK)


def lighting(p, x):
    p.rect(x + 2, 9, x + 5, 14, BLUE)
    p.rect(x + 6, 5, x + 9, 14, GREEN)
    p.rect(x + 10, 2, x + 13, 14, YELLOW)


def start_page(p, x):
    p.rect(x + 3, 1, x + 13, 14, WHITE)
    p.frame(x + 3, 1, x + 13, 14, 1, BLACK)
    p.rect(x + 5, 4, x + 11, 6, BLUE)


def help_mark(p, x):
    p.frame(x + 3, 1, x + 12, 6, 2, BLUE)
    p.rect(x + 3, 1, x + 5, 4, GREY)
    p.rect(x + 7, 6, x + 9, 10, BLUE)
    p.rect(x + 7, 11, x + 9, 13, BLUE)


def strip(name, painters, height=15, background=GREY):
    p = Picture(16 * len(painters), height, background)
    for i, paint in enumerate(painters):
        paint(p, 16 * i)
    p.save(name)


strip("project_toolbar.png", [road, site, calculate, cancel, mode])
strip("view_toolbar.png", [plan, cube, lambda p, x: zoom(p, x, True), lambda p, x: zoom(p, x, False), pan, rotate,
                           restore, select, readout])
strip("economics_toolbar.png", [money, table])
strip("image_toolbar.png", [tree, grid, lighting, start_page])
strip("pane_icons.png", [tree, grid, lighting], height=16, background=MASK)
strip("help_menu.png", [help_mark], height=16, background=WHITE)
