"""Stand-in for the operating system's own package.

Only the sub-modules that the switch-ASIC libraries use are provided:
`platforms` (the running platform object), `porttab` (SDK to Linux port
names) and `fanoutlib` (VRF names). Each is small and documented at
its top.
"""
