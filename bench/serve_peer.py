"""What a user would build instead of `lantrel serve`: a FastAPI app with one pyproj
Transformer made at start-up, for the single-point and batch conversions of bench/serve.sh."""
import sys

import uvicorn
from fastapi import FastAPI
from pydantic import BaseModel
from pyproj import Transformer

# Geographic NAD 83 to Kentucky North (NAD 83, US survey feet).
forward = Transformer.from_crs("EPSG:4269", "EPSG:2246", always_xy=True)
app = FastAPI()


class Batch(BaseModel):
    x: list[float]
    y: list[float]


@app.get("/convert")
def convert_one(x: float, y: float):
    e, n = forward.transform(x, y)
    return {"x": e, "y": n}


@app.post("/convert")
def convert_many(batch: Batch):
    e, n = forward.transform(batch.x, batch.y)
    return {"x": list(e), "y": list(n)}


if __name__ == "__main__":
    uvicorn.run(app, host="127.0.0.1", port=int(sys.argv[1]), log_level="warning")
