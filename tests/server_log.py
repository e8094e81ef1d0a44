"""What the Python tests ask of the loopback test server: pages registered
for a path, and the request lines of the requests a tag marks."""
import urllib.parse
import urllib.request


def register_page(server, path, body):
    """Makes the server answer path (its tag included) with body."""
    query = urllib.parse.urlencode({"path": path, "body": body.encode("latin-1")})
    urllib.request.urlopen(f"{server}/__page?{query}").read()


def request_lines(server, prefix):
    """The request lines of the requests whose target starts with prefix,
    in the order they arrived."""
    with urllib.request.urlopen(f"{server}/__log?prefix={prefix}") as r:
        return [e.split("\n")[0] for e in r.read().decode("latin-1").split("\n\n") if e]
