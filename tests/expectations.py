"""What the check scripts share: a failed expectation is noted, not raised, so
that one run names every fault it finds."""

failures = []


def expect(condition, message):
    if not condition:
        failures.append(message)
    return condition


def report(subject):
    """Prints each failure and the verdict on `subject`; the script's status."""
    for failure in failures:
        print(f"FAIL: {failure}")
    print(f"{subject}: {'ok' if not failures else f'{len(failures)} failures'}")
    return 1 if failures else 0
