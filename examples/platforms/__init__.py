"""Example platform definitions, made up for this project.

Each module defines one platform class and a `build()` that returns a
platform object. `ALL` lists the module names the demo walks through.
"""

ALL = ["basic_box", "trident_two_box", "trident_three_box", "tomahawk_box", "tomahawk_two_box",
       "maverick_box", "hurricane2_box"]
