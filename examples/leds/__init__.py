"""Example LED controllers and LED routines, made up for this project."""
