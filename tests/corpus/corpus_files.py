"""Writing a generated corpus into its folder, or checking that the folder holds it."""

import os


def write_or_check(directory, files, check, generator):
    """files maps names to bytes. With check, returns 1 (and says which files) unless the
    folder holds exactly these files; otherwise writes them and removes any other file."""
    if check:
        present = set(os.listdir(directory)) if os.path.isdir(directory) else set()
        stale = sorted(name for name in present | set(files)
                       if name not in files or name not in present
                       or open(os.path.join(directory, name), "rb").read() != files[name])
        if stale:
            print(f"out of date, run {generator} again:", " ".join(stale))
            return 1
        return 0
    os.makedirs(directory, exist_ok=True)
    for name in os.listdir(directory):
        if name not in files:
            os.remove(os.path.join(directory, name))
    for name, data in files.items():
        with open(os.path.join(directory, name), "wb") as f:
            f.write(data)
    return 0
